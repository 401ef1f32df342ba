#include "ui/drag_out.h"

#include <ole2.h>
#include <shlobj.h>

#include <set>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "engine/extract_path.h"
#include "engine/item_names.h"
#include "ops/temp_workspace.h"

namespace {

// A drop on a window of this process (the list itself, say) takes nothing.
bool CursorOverOwnWindow() {
    POINT cursor{};
    GetCursorPos(&cursor);
    HWND window = WindowFromPoint(cursor);
    DWORD process = 0;
    if (window) GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// The DROPFILES block naming `paths`, in memory the receiver frees.
HGLOBAL MakeDropFiles(const std::vector<std::wstring>& paths) {
    size_t units = 1;
    for (const std::wstring& path : paths) units += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
    if (!memory) return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        path.copy(out, path.size());
        out += path.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class DragData final : public IDataObject {
public:
    DragData(std::vector<std::wstring> names, const DragExtraction& extract)
        : names_(DraggedFileNames(names)), extract_(extract) {
        preferredEffectFormat_ = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));
    }
    ~DragData() {
        if (!folder_.empty()) RemoveFolderTree(folder_);
    }

    // Set by the drop source once the mouse button is released: the next request for the files
    // is the drop.
    void dropping() { dropping_ = true; }
    bool extracted() const { return extracted_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDataObject) return E_NOINTERFACE;
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        const HRESULT offered = QueryGetData(format);
        if (offered != S_OK) return offered;
        HGLOBAL memory = nullptr;
        if (format->cfFormat == preferredEffectFormat_) {
            memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
            if (memory) {
                *static_cast<DWORD*>(GlobalLock(memory)) = DROPEFFECT_COPY;
                GlobalUnlock(memory);
            }
        } else {
            if (!folderReady() || (dropping_ && !extractOnce())) return E_UNEXPECTED;
            std::vector<std::wstring> paths;
            for (const std::wstring& name : names_) paths.push_back(JoinPath(folder_, name));
            memory = MakeDropFiles(paths);
        }
        if (!memory) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        if (format->cfFormat != CF_HDROP && format->cfFormat != preferredEffectFormat_) return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (!formats) return E_POINTER;
        *formats = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC offered[2] = {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                                {preferredEffectFormat_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
        return SHCreateStdEnumFmtEtc(2, offered, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    // The folder the files will be in, made (empty) when first named.
    bool folderReady() {
        if (folder_.empty()) folder_ = CreateFreshTempFolder(kDragPrefix);
        return !folder_.empty();
    }
    bool extractOnce() {
        if (extracted_) return true;
        if (attempted_ || CursorOverOwnWindow()) return false;
        attempted_ = true;
        extracted_ = extract_(folder_);
        return extracted_;
    }

    ULONG references_ = 1;
    std::vector<std::wstring> names_;
    const DragExtraction& extract_;
    CLIPFORMAT preferredEffectFormat_ = 0;
    std::wstring folder_;
    bool dropping_ = false;
    bool attempted_ = false;
    bool extracted_ = false;
};

class DragSource final : public IDropSource {
public:
    explicit DragSource(DragData& data) : data_(data) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDropSource) return E_NOINTERFACE;
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the caller's stack

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override {
        if (escapePressed) return DRAGDROP_S_CANCEL;
        if (keys & (MK_LBUTTON | MK_RBUTTON)) return S_OK;
        data_.dropping();
        return DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DragData& data_;
    ULONG references_ = 1;
};

}  // namespace

std::vector<std::wstring> DraggedFileNames(const std::vector<std::wstring>& names) {
    std::vector<std::wstring> files;
    std::set<std::wstring> seen;
    for (const std::wstring& name : names) {
        const std::optional<std::wstring> safe = safeRelativePath(name);
        if (!safe || safe->empty() || !seen.insert(caseBlindKey(*safe)).second) continue;
        files.push_back(*safe);
    }
    return files;
}

DragOutResult DragEntriesOut(const std::vector<std::wstring>& names, const DragExtraction& extract) {
    DragOutResult result;
    // Dragging needs OLE on this thread, beyond the COM that start-up set up.
    const HRESULT ole = OleInitialize(nullptr);
    if (FAILED(ole)) return result;
    auto* data = new DragData(names, extract);
    DragSource source(*data);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT dragged = DoDragDrop(data, &source, DROPEFFECT_COPY, &effect);
    result.effect = dragged == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
    result.extracted = data->extracted();
    data->Release();  // the folder goes with the last reference, once the target let go of it
    OleUninitialize();
    return result;
}
