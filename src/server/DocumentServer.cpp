// Creation of the document server.
#include "server/DocumentServer.h"

#include "base/BrokerError.h"
#include "server/ServerFaults.h"

namespace {

// A service's account may not start or reach the application's server: what DCOM settles.
bool RefusedByDcom(HRESULT hr) {
    return hr == E_ACCESSDENIED || hr == CO_E_SERVER_EXEC_FAILURE || hr == CO_E_RUNAS_LOGON_FAILURE;
}

constexpr char kDcomHint[] =
    " Verificati contul serviciului si permisiunile DCOM ale serverului de documente (README, sectiunea "
    "\"The real document server: account and DCOM\").";

}  // namespace

std::string CreationFailureText(HRESULT hr) {
    return OleErrorText(hr) + (RefusedByDcom(hr) ? kDcomHint : "");
}

ComRef<ITallyportObject> CreateDocumentServer() {
    ComRef<IUnknown> object;
    const HRESULT created = CoCreateInstance(CLSID_CoTallyportObject, nullptr,
                                             CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                             reinterpret_cast<void**>(object.addressof()));
    // Classified as any call: an application occupied with a dialog refuses its class factory too.
    if (FAILED(created)) throw ServerCallError(CreationFailureText(created), created, BooksCall::NotMade);
    ComRef<ITallyportObject> server;
    HRESULT hr = object->QueryInterface(IID_ITallyportObject, reinterpret_cast<void**>(server.addressof()));
    if (hr == E_NOINTERFACE) throw BrokerError("Interface not supported");
    Check(hr);
    return server;
}
