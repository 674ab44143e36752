// Creation of the document server.
#include "server/DocumentServer.h"

#include "server/BrokerError.h"

ComRef<ITallyportObject> CreateDocumentServer() {
    ComRef<IUnknown> object;
    Check(CoCreateInstance(CLSID_CoTallyportObject, nullptr,
                           CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(object.addressof())));
    ComRef<ITallyportObject> server;
    HRESULT hr = object->QueryInterface(IID_ITallyportObject,
                                        reinterpret_cast<void**>(server.addressof()));
    if (hr == E_NOINTERFACE) throw BrokerError("Interface not supported");
    Check(hr);
    return server;
}
