// The COM object: its state between calls, argument checks, and the rule that a refused call changes nothing.
#include "DocServer.h"

#include "Book.h"
#include "ComText.h"

#include <array>
#include <new>
#include <type_traits>

namespace docserver {

std::atomic<long> LiveObjects{0};

namespace {

// A failing result whose text the caller finds through GetErrorInfo.
HRESULT Raise(HRESULT hr, const std::wstring& text) {
    ComRef<ICreateErrorInfo> create;
    ComRef<IErrorInfo> info;
    if (SUCCEEDED(CreateErrorInfo(create.addressof()))) {
        create->SetGUID(IID_ITallyportObject);
        create->SetSource(const_cast<LPOLESTR>(L"VQDocServer"));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.addressof()))))
            SetErrorInfo(0, info.get());
    }
    return hr;
}

// A method named in the wait list shows a small window and serves the calling thread's
// messages for a while before it works, as an out-of-process server's call or a server
// that shows a window does. Tests see the window and act while the call is in progress.
bool Listed(const std::string& names, std::string_view method) {
    for (size_t start = 0;;) {
        const size_t end = names.find(';', start);
        if (SameText(std::string_view(names).substr(start, end - start), method)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

void WaitServingMessages(const std::wstring& list, const char* method, unsigned milliseconds) {
    if (!Listed(Ansi(list), method)) return;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VQDocServerWait";
    RegisterClassW(&windowClass);  // already registered by an earlier call is fine
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"VQDocServer", WS_POPUP | WS_VISIBLE, 0, 0,
                                  80, 20, nullptr, nullptr, windowClass.hInstance, nullptr);
    const ULONGLONG end = GetTickCount64() + milliseconds;
    // Closing the window ends the wait early (a test done with a call that hangs), and so does a
    // WM_QUIT: the thread is to end. The WM_QUIT is not ours to take: the caller's loop ends on it.
    bool quit = false;
    for (ULONGLONG now = GetTickCount64(); !quit && now < end && (!window || IsWindow(window));
         now = GetTickCount64()) {
        // Also for messages already queued: a local server's nested calls arrive as messages,
        // and a call served meanwhile may have looked at them without taking them.
        MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG message;
        while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if ((quit = message.message == WM_QUIT)) {
                PostQuitMessage(int(message.wParam));
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (window) DestroyWindow(window);
}

// An unknown kind leaves the key kind as it was.
void SetKey(KeyKind& key, BSTR kind, bool fiscal) {
    const std::string upper = Upper(Trim(FromBstr(kind)));
    if (upper == "CODINTERN" || upper == "CODEXTERN" || (upper == "CODFISCAL" && fiscal))
        key = upper == "CODINTERN"   ? KeyKind::Intern
              : upper == "CODEXTERN" ? KeyKind::Extern
                                     : KeyKind::Fiscal;
}

// The reserved slots keep the contract header's E_NOTIMPL bodies.
class DocServer final : public ITallyportObject, public ISupportErrorInfo {
public:
    using enum DocKind;
    using enum QueryKind;

    explicit DocServer(ServerOptions options) : options_(std::move(options)) {
        ++LiveObjects;
        if (options_.hold) options_.hold(true);
    }
    ~DocServer() {
        --LiveObjects;
        if (options_.hold) options_.hold(false);
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = iid == IID_ISupportErrorInfo ? static_cast<ISupportErrorInfo*>(this) : nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITallyportObject)
            *object = static_cast<ITallyportObject*>(this);
        if (*object) AddRef();
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: the service calls through the virtual table only.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID_ITallyportObject ? S_OK : S_FALSE;
    }

    STDMETHODIMP SetFirmaLucru(BSTR company, LONG* ok) override {
        return Out(__func__, ok, [&] { return SelectCompany(FromBstr(company)); });
    }
    STDMETHODIMP SetLunaLucru(LONG year, LONG month, LONG* ok) override {
        return Out(__func__, ok, [&] { return SelectMonth(year, month); });
    }
    STDMETHODIMP SetPachet(VARIANT lines) override {
        return Call(__func__, [&] { package_ = FromList(lines); });
    }
    STDMETHODIMP SetTipIDPartener(BSTR kind) override {
        return Call(__func__, [&] { SetKey(partnerKey_, kind, true); });
    }
    STDMETHODIMP SetTipIDArticol(BSTR kind) override {
        return Call(__func__, [&] { SetKey(articleKey_, kind, false); });
    }
    STDMETHODIMP GetListaErori(VARIANT* list) override {
        return list ? Call(__func__, [&] { return ToList(errors_, list); }) : E_POINTER;
    }

    STDMETHODIMP GenComenzi(LONG* ok) override { return Generate(__func__, Order, ok); }
    STDMETHODIMP GenComenziFurnizori(LONG* ok) override { return Generate(__func__, SupplierOrder, ok); }
    STDMETHODIMP GenFacturi(LONG* ok) override { return Generate(__func__, Invoice, ok); }
    STDMETHODIMP GenFacturiFurnizori(LONG* ok) override { return Generate(__func__, SupplierInvoice, ok); }
    STDMETHODIMP GetNrComenzi(LONG* count) override { return Count(__func__, Order, count); }
    STDMETHODIMP GetNrComenziFurnizori(LONG* count) override { return Count(__func__, SupplierOrder, count); }
    STDMETHODIMP GetNrFacturi(LONG* count) override { return Count(__func__, Invoice, count); }
    STDMETHODIMP GetNrFacturiFurnizori(LONG* count) override {
        return Count(__func__, SupplierInvoice, count);
    }

    STDMETHODIMP AddPartener(BSTR record, LONG* ok) override {
        return Change(__func__, AddPartnerRecord, record, ok);
    }
    STDMETHODIMP ModiPartener(BSTR record, LONG* ok) override {
        return Change(__func__, ModifyPartnerRecord, record, ok);
    }
    STDMETHODIMP AddArticol(BSTR record, LONG* ok) override {
        return Change(__func__, AddArticleRecord, record, ok);
    }

    STDMETHODIMP GetStocuri(LONG* code, VARIANT* list) override { return List(__func__, Stock, code, list); }
    STDMETHODIMP GetPretAchizStocuri(LONG* code, VARIANT* list) override {
        return List(__func__, PurchasePrices, code, list);
    }
    STDMETHODIMP GetInfoArticol(LONG* code, VARIANT* list) override {
        return List(__func__, Catalogue, code, list);
    }
    STDMETHODIMP GetListaArtCatPret(LONG* code, VARIANT* list) override {
        return List(__func__, PriceCategories, code, list);
    }
    STDMETHODIMP GetListaGestiuni(LONG* code, VARIANT* list) override {
        return List(__func__, Locations, code, list);
    }
    STDMETHODIMP GetListaParteneri(LONG* code, VARIANT* list) override {
        return List(__func__, Partners, code, list);
    }
    STDMETHODIMP GetFacturiCmdOnline(LONG* code, VARIANT* list) override {
        return List(__func__, OnlineInvoices, code, list);
    }
    STDMETHODIMP GetIncasariLuna(LONG* code, VARIANT* list) override {
        return List(__func__, CashIns, code, list);
    }
    // The second argument is always 0 from the service and asks for every location.
    STDMETHODIMP GetStocArticol(BSTR article, LONG, LONG* code, VARIANT* list) override {
        return List(__func__, ArticleStock, code, list, FromBstr(article));
    }
    STDMETHODIMP GetSolduriParteneri(BSTR selector, LONG* code, VARIANT* list) override {
        return List(__func__, Balances, code, list, FromBstr(selector));
    }
    STDMETHODIMP GetInfoCmdBon(LONG order, LONG* code, VARIANT* list) override {
        return List(__func__, OrderReceipts, code, list, std::to_string(order));
    }
    STDMETHODIMP GetInfoCmdBonuri(LONG day, LONG* code, VARIANT* list) override {
        return List(__func__, DayReceipts, code, list, std::to_string(day));
    }

private:
    template <class Body>
    HRESULT Call(const char* method, Body&& body) {
        if (options_.watch) options_.watch(options_, method, false);
        const HRESULT result = Run(method, body);
        if (options_.watch) options_.watch(options_, method, true);
        return result;
    }
    // Every method runs here: the simulated fault, the store opened on first use, no exception let through.
    template <class Body>
    HRESULT Run(const char* method, Body& body) {
        if (!options_.waitMethods.empty()) WaitServingMessages(options_.waitMethods, method, options_.waitMs);
        SetErrorInfo(0, nullptr);
        if (SameText(method, Ansi(options_.failMethod)))
            return Raise(E_FAIL, options_.failText.empty() ? L"Eroare simulata in " + Wide(method)
                                                           : options_.failText);
        try {
            if (!opened_) Open();
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
                return S_OK;
            } else {
                return body();
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception& error) {
            return Raise(E_FAIL, ToWide(error.what()));
        }
    }
    // A LONG out-parameter: a flag (1 done, 0 refused) or a count.
    template <class Body>
    HRESULT Out(const char* method, LONG* out, Body&& body) {
        return out ? Call(method, [&] { *out = static_cast<LONG>(body()); }) : E_POINTER;
    }
    HRESULT Count(const char* method, DocKind kind, LONG* count) {
        return Out(method, count, [&] { return counts_[size_t(kind)]; });
    }

    // The first company is selected; a new data folder gets the demo data, dated this month.
    void Open() {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        companies_ = OpenCompanies(options_.dataFolder, {now.wYear, now.wMonth, now.wDay});
        if (!companies_.empty()) {
            company_ = Field(companies_.front(), company::Code);
            tables_ = LoadCompany(options_.dataFolder, company_);
        }
        opened_ = true;
    }

    bool Refuse(std::vector<std::string> errors) {
        errors_ = std::move(errors);
        return false;
    }

    // A company is named by its code or by its name.
    bool SelectCompany(std::string_view name) {
        const std::string wanted(Trim(name));
        const Row* found = FindRow(companies_, company::Code, wanted);
        if (!found && !(found = FindRow(companies_, company::Name, wanted)))
            return Refuse({"Firma necunoscuta " + wanted});
        tables_ = LoadCompany(options_.dataFolder, Field(*found, company::Code));
        company_ = Field(*found, company::Code);
        return true;
    }

    bool SelectMonth(long year, long month) {
        std::vector<std::string> errors;
        if (year < 2000 || year > 2099)
            errors.push_back("An de lucru invalid " + std::to_string(year) + " (2000-2099)");
        if (month < 1 || month > 12)
            errors.push_back("Luna de lucru invalida " + std::to_string(month) + " (1-12)");
        if (!errors.empty()) return Refuse(std::move(errors));
        year_ = static_cast<int>(year);
        month_ = static_cast<int>(month);
        return true;
    }

    // A company and a month are selected, else the errors say which is missing.
    bool Ready() {
        std::vector<std::string> errors;
        if (company_.empty()) errors.push_back("Nu este selectata firma de lucru");
        if (year_ == 0) errors.push_back("Nu este selectata luna de lucru");
        return errors.empty() || Refuse(std::move(errors));
    }

    WorkContext Context() const { return {&tables_, company_, year_, month_, partnerKey_, articleKey_}; }

    // Runs an operation on a copy of the tables; a refusal keeps its errors and changes nothing.
    template <class Operation>
    bool Apply(Operation&& operation) {
        Tables work = tables_;
        std::vector<std::string> errors = operation(work);
        if (!errors.empty()) return Refuse(std::move(errors));
        std::erase_if(work, [&](const auto& table) { return tables_[table.first] == table.second; });
        SaveCompany(options_.dataFolder, company_, work);  // only the tables that differ
        work.merge(tables_);
        tables_ = std::move(work);
        return true;
    }

    HRESULT Generate(const char* method, DocKind kind, LONG* ok) {
        return Out(method, ok, [&] {
            long& count = counts_[static_cast<size_t>(kind)];
            count = 0;
            PackageOutcome outcome;
            const auto run = [&](Tables& work) {
                return (outcome = ApplyPackage(kind, package_, Context(), work)).errors;
            };
            count = Ready() && Apply(run) ? outcome.documents : 0;
            return count > 0;
        });
    }

    using Changer = std::vector<std::string> (*)(std::string_view, const WorkContext&, Tables&);
    HRESULT Change(const char* method, Changer change, BSTR record, LONG* ok) {
        return Out(method, ok, [&] {
            if (company_.empty()) return Refuse({"Nu este selectata firma de lucru"});
            return Apply([&](Tables& work) { return change(FromBstr(record), Context(), work); });
        });
    }

    // With an error code other than 0 the list stays empty and the errors say why.
    HRESULT List(const char* method, QueryKind kind, LONG* errorCode, VARIANT* list,
                 const std::string& argument = {}) {
        if (!errorCode || !list) return E_POINTER;
        return Call(method, [&] {
            const QueryResult result =
                Ready() ? RunQuery(kind, Context(), argument) : QueryResult{QueryNoMonth, {}, errors_};
            if ((*errorCode = result.errorCode) != QueryOk) errors_ = result.errors;
            return result.errorCode == QueryOk ? ToList(result.rows, list) : S_OK;
        });
    }

    std::atomic<ULONG> references_{1};
    ServerOptions options_;
    bool opened_ =
        false;  // the data folder is read at the first call, so that creating the object touches no file
    Table companies_;
    std::string company_;
    Tables tables_;
    int year_ = 0;
    int month_ = 0;
    KeyKind partnerKey_ = KeyKind::Intern;
    KeyKind articleKey_ = KeyKind::Intern;
    std::vector<std::string> package_;
    std::array<long, 4> counts_{};
    std::vector<std::string> errors_;
};

}  // namespace

HRESULT CreateDocServer(const ServerOptions& options, REFIID iid, void** server) {
    if (!server) return E_POINTER;
    *server = nullptr;
    const ComRef<DocServer> object(new (std::nothrow) DocServer(options));
    return object ? object->QueryInterface(iid, server) : E_OUTOFMEMORY;
}

}  // namespace docserver
