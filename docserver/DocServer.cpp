// The COM object: argument checks, conversions and error reporting around the Book.
#include "DocServer.h"

#include "Ansi.h"
#include "ComText.h"

#include <new>

namespace docserver {

std::atomic<long> LiveObjects{0};

namespace {

// A failing result whose text the caller finds through GetErrorInfo.
HRESULT Raise(HRESULT hr, const std::wstring& text)
{
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(IID_ITallyportObject);
        create->SetSource(const_cast<LPOLESTR>(L"VQDocServer"));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return hr;
}

Date Today()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace

HRESULT CreateDocServer(const ServerOptions& options, REFIID iid, void** server)
{
    if (!server)
        return E_POINTER;
    *server = nullptr;
    DocServer* object = new (std::nothrow) DocServer(options);
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, server);
    object->Release();
    return hr;
}

DocServer::DocServer(ServerOptions options) : options_(std::move(options))
{
    ++LiveObjects;
}

DocServer::~DocServer()
{
    --LiveObjects;
}

HRESULT DocServer::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITallyportObject)
        *object = static_cast<ITallyportObject*>(this);
    else if (iid == IID_ISupportErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(this);
    else
        *object = nullptr;
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG DocServer::AddRef()
{
    return ++references_;
}

ULONG DocServer::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT DocServer::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT DocServer::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == IID_ITallyportObject ? S_OK : S_FALSE;
}

// Every method runs here: the simulated fault, the store opened on first use, no exception
// let through to the caller.
template <class Body>
HRESULT DocServer::Call(const wchar_t* method, Body&& body)
{
    SetErrorInfo(0, nullptr);
    if (!options_.failMethod.empty() && CompareStringOrdinal(method, -1, options_.failMethod.c_str(), -1, TRUE) == CSTR_EQUAL)
        return Raise(E_FAIL, options_.failText.empty() ? L"Eroare simulata in " + std::wstring(method) : options_.failText);
    try {
        if (!book_)
            book_ = std::make_unique<Book>(options_.dataFolder, Today());
        return body(*book_);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        return Raise(E_FAIL, ToWide(error.what()));
    }
}

HRESULT DocServer::SetFirmaLucru(BSTR company, LONG* ok)
{
    if (!ok)
        return E_POINTER;
    return Call(L"SetFirmaLucru", [&](Book& book) {
        *ok = book.SelectCompany(FromBstr(company)) ? 1 : 0;
        return S_OK;
    });
}

HRESULT DocServer::SetLunaLucru(LONG year, LONG month, LONG* ok)
{
    if (!ok)
        return E_POINTER;
    return Call(L"SetLunaLucru", [&](Book& book) {
        *ok = book.SelectMonth(year, month) ? 1 : 0;
        return S_OK;
    });
}

HRESULT DocServer::SetPachet(VARIANT lines)
{
    return Call(L"SetPachet", [&](Book& book) {
        book.SetPackage(FromList(lines));
        return S_OK;
    });
}

HRESULT DocServer::SetTipIDPartener(BSTR kind)
{
    return Call(L"SetTipIDPartener", [&](Book& book) {
        book.SetPartnerKey(FromBstr(kind));
        return S_OK;
    });
}

HRESULT DocServer::SetTipIDArticol(BSTR kind)
{
    return Call(L"SetTipIDArticol", [&](Book& book) {
        book.SetArticleKey(FromBstr(kind));
        return S_OK;
    });
}

HRESULT DocServer::GetListaErori(VARIANT* list)
{
    if (!list)
        return E_POINTER;
    return Call(L"GetListaErori", [&](Book& book) { return ToList(book.Errors(), list); });
}

HRESULT DocServer::Generate(const wchar_t* method, DocKind kind, LONG* ok)
{
    if (!ok)
        return E_POINTER;
    return Call(method, [&](Book& book) {
        *ok = book.Generate(kind) ? 1 : 0;
        return S_OK;
    });
}

HRESULT DocServer::Count(const wchar_t* method, DocKind kind, LONG* count)
{
    if (!count)
        return E_POINTER;
    return Call(method, [&](Book& book) {
        *count = book.Generated(kind);
        return S_OK;
    });
}

HRESULT DocServer::Record(const wchar_t* method, bool (Book::*change)(std::string_view), BSTR record, LONG* ok)
{
    if (!ok)
        return E_POINTER;
    return Call(method, [&](Book& book) {
        *ok = (book.*change)(FromBstr(record)) ? 1 : 0;
        return S_OK;
    });
}

HRESULT DocServer::List(const wchar_t* method, QueryKind kind, const std::string& argument, LONG* errorCode,
                        VARIANT* list)
{
    if (!errorCode || !list)
        return E_POINTER;
    return Call(method, [&](Book& book) {
        const QueryResult result = book.Query(kind, argument);
        *errorCode = result.errorCode;
        return result.errorCode == QueryOk ? ToList(result.rows, list) : S_OK;
    });
}

HRESULT DocServer::GenComenzi(LONG* ok) { return Generate(L"GenComenzi", DocKind::Order, ok); }
HRESULT DocServer::GenComenziFurnizori(LONG* ok) { return Generate(L"GenComenziFurnizori", DocKind::SupplierOrder, ok); }
HRESULT DocServer::GenFacturi(LONG* ok) { return Generate(L"GenFacturi", DocKind::Invoice, ok); }
HRESULT DocServer::GenFacturiFurnizori(LONG* ok) { return Generate(L"GenFacturiFurnizori", DocKind::SupplierInvoice, ok); }

HRESULT DocServer::GetNrComenzi(LONG* count) { return Count(L"GetNrComenzi", DocKind::Order, count); }
HRESULT DocServer::GetNrComenziFurnizori(LONG* count) { return Count(L"GetNrComenziFurnizori", DocKind::SupplierOrder, count); }
HRESULT DocServer::GetNrFacturi(LONG* count) { return Count(L"GetNrFacturi", DocKind::Invoice, count); }
HRESULT DocServer::GetNrFacturiFurnizori(LONG* count) { return Count(L"GetNrFacturiFurnizori", DocKind::SupplierInvoice, count); }

HRESULT DocServer::AddPartener(BSTR record, LONG* ok) { return Record(L"AddPartener", &Book::AddPartner, record, ok); }
HRESULT DocServer::ModiPartener(BSTR record, LONG* ok) { return Record(L"ModiPartener", &Book::ModifyPartner, record, ok); }
HRESULT DocServer::AddArticol(BSTR record, LONG* ok) { return Record(L"AddArticol", &Book::AddArticle, record, ok); }

HRESULT DocServer::GetStocuri(LONG* errorCode, VARIANT* list) { return List(L"GetStocuri", QueryKind::Stock, {}, errorCode, list); }
HRESULT DocServer::GetPretAchizStocuri(LONG* errorCode, VARIANT* list) { return List(L"GetPretAchizStocuri", QueryKind::PurchasePrices, {}, errorCode, list); }
HRESULT DocServer::GetInfoArticol(LONG* errorCode, VARIANT* list) { return List(L"GetInfoArticol", QueryKind::Catalogue, {}, errorCode, list); }
HRESULT DocServer::GetListaArtCatPret(LONG* errorCode, VARIANT* list) { return List(L"GetListaArtCatPret", QueryKind::PriceCategories, {}, errorCode, list); }
HRESULT DocServer::GetListaGestiuni(LONG* errorCode, VARIANT* list) { return List(L"GetListaGestiuni", QueryKind::Locations, {}, errorCode, list); }
HRESULT DocServer::GetListaParteneri(LONG* errorCode, VARIANT* list) { return List(L"GetListaParteneri", QueryKind::Partners, {}, errorCode, list); }
HRESULT DocServer::GetFacturiCmdOnline(LONG* errorCode, VARIANT* list) { return List(L"GetFacturiCmdOnline", QueryKind::OnlineInvoices, {}, errorCode, list); }
HRESULT DocServer::GetIncasariLuna(LONG* errorCode, VARIANT* list) { return List(L"GetIncasariLuna", QueryKind::CashIns, {}, errorCode, list); }

// The second argument is always 0 from the service and asks for every location.
HRESULT DocServer::GetStocArticol(BSTR articleCode, LONG /*zero*/, LONG* errorCode, VARIANT* list)
{
    return List(L"GetStocArticol", QueryKind::ArticleStock, FromBstr(articleCode), errorCode, list);
}

HRESULT DocServer::GetSolduriParteneri(BSTR selector, LONG* errorCode, VARIANT* list)
{
    return List(L"GetSolduriParteneri", QueryKind::Balances, FromBstr(selector), errorCode, list);
}

HRESULT DocServer::GetInfoCmdBon(LONG orderNumber, LONG* errorCode, VARIANT* list)
{
    return List(L"GetInfoCmdBon", QueryKind::OrderReceipts, std::to_string(orderNumber), errorCode, list);
}

HRESULT DocServer::GetInfoCmdBonuri(LONG dayNumber, LONG* errorCode, VARIANT* list)
{
    return List(L"GetInfoCmdBonuri", QueryKind::DayReceipts, std::to_string(dayNumber), errorCode, list);
}

}  // namespace docserver
