// Creation of the document server, and the errors of calls to it.
#include "server/DocumentServer.h"

#include "core/Broker.h"
#include "base/BrokerError.h"

ComRef<ITallyportObject> CreateDocumentServer() {
    ComRef<IUnknown> object;
    Check(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                           IID_IUnknown, reinterpret_cast<void**>(object.addressof())));
    ComRef<ITallyportObject> server;
    HRESULT hr = object->QueryInterface(IID_ITallyportObject, reinterpret_cast<void**>(server.addressof()));
    if (hr == E_NOINTERFACE) throw BrokerError("Interface not supported");
    Check(hr);
    return server;
}

void TEBroker::CheckServer(HRESULT hr) const { Check(hr, FServer.get(), IID_ITallyportObject); }
