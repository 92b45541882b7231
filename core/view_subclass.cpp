#include "view_subclass.h"

#include <commctrl.h>

#include "core_messages.h"
#include "label_style.h"
#include "module_reference.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x51C0;

// The view this copy of the module draws on, in the view's process; null when detached.
struct Attachment {
    HWND view;
    HWND parent;
    COLORREF textColor;
    int textStyle;
};

Attachment attachment;

void RepaintNow(HWND view) {
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT ownerResult) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return ownerResult | CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT: EndLabelPaint(); return ownerResult;
    case CDDS_ITEMPREPAINT:
        if (ownerResult & CDRF_SKIPDEFAULT) return ownerResult;
        // A selected label keeps the list view's highlight colours.
        if (!(draw->nmcd.uItemState & CDIS_SELECTED)) draw->clrText = attachment.textColor;
        PaintLabelCopies(*draw, attachment.textStyle);
        return ownerResult;
    }
    return ownerResult;
}

bool IsViewCustomDraw(LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return header->hwndFrom == attachment.view && header->code == NM_CUSTOMDRAW;
}

// Takes the subclass off and forgets the view. The reference to this module is given
// back last, by the caller, once nothing here runs any more.
void Detach(HWND parent, SUBCLASSPROC proc) {
    RemoveWindowSubclass(parent, proc, kSubclassId);
    EndLabelPaint();
    attachment = Attachment{};
}

LRESULT CALLBACK LabelStyleProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR);

LRESULT OnParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && IsViewCustomDraw(lParam)) {
        const LRESULT ownerResult = DefSubclassProc(parent, message, wParam, lParam);
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), ownerResult);
    }
    if (message == DetachMessage()) {
        HWND view = attachment.view;
        Detach(parent, LabelStyleProc);
        if (view) RepaintNow(view);
        // Passed on, so any other copy of the module attached here lets go as well.
        const LRESULT result = DefSubclassProc(parent, message, wParam, lParam);
        ReleaseSelfWhenIdle(view ? view : parent);
        return result;
    }
    if (message == WM_NCDESTROY) {
        // The view has gone before its parent; a window of the thread that still exists
        // tells when the thread is back in its message loop.
        HWND anchor = GetAncestor(parent, GA_ROOT);
        Detach(parent, LabelStyleProc);
        const LRESULT result = DefSubclassProc(parent, message, wParam, lParam);
        ReleaseSelfWhenIdle(anchor != parent ? anchor : nullptr);
        return result;
    }
    return DefSubclassProc(parent, message, wParam, lParam);
}

// Every message of the view's parent passes through here, modal loops of the shell's own
// procedure included; the count of frames tells the release when none is left.
LRESULT CALLBACK LabelStyleProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    EnterModuleFrame();
    const LRESULT result = OnParentMessage(parent, message, wParam, lParam);
    LeaveModuleFrame();
    return result;
}

// Subclasses the view's parent, holding a reference to this module while the subclass
// is on. Any other copy of the module attached there is asked to leave first.
bool Attach(HWND view, HWND parent) {
    SendMessageW(parent, DetachMessage(), 0, 0);
    if (!HoldSelf()) return false;
    if (!SetWindowSubclass(parent, LabelStyleProc, kSubclassId, 0)) {
        // The hook that runs this code still holds the module.
        FreeLibrary(selfModule);
        return false;
    }
    attachment.view = view;
    attachment.parent = parent;
    return true;
}

} // namespace

void AttachToView(HWND view, COLORREF textColor, int textStyle) {
    // A hook that a 32-bit program sets on a 64-bit thread is run by Windows in the program
    // itself: only the view's own thread may subclass its parent.
    if (GetWindowThreadProcessId(view, nullptr) != GetCurrentThreadId()) return;
    HWND parent = GetParent(view);
    if (!parent) return;
    if (attachment.view != view || attachment.parent != parent) {
        // The detach path of the old attachment runs on that view's own thread.
        if (attachment.view) SendMessageW(attachment.parent, DetachMessage(), 0, 0);
        if (!Attach(view, parent)) return;
    }
    attachment.textColor = textColor;
    attachment.textStyle = textStyle;
    RepaintNow(view);
}
