// Creation of the document server, and the failures that mean it is gone.
#include "server/DocumentServer.h"

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

bool ServerWentAway(HRESULT hr) {
    return hr == RPC_E_DISCONNECTED || hr == RPC_E_SERVER_DIED || hr == RPC_E_SERVER_DIED_DNE ||
           hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) || hr == CO_E_OBJNOTCONNECTED;
}
