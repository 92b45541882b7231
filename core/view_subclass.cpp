#include "view_subclass.h"

#include <commctrl.h>

#include "core_messages.h"
#include "label_style.h"
#include "module_reference.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x51C0;
// Sent to a window of the thread that holds an earlier attachment, which may hang.
constexpr UINT kDetachWaitMs = 5000;

// The view this copy of the module draws on, in the view's process; null when detached.
struct Attachment {
    HWND view;
    HWND parent; // the window subclassed for the custom draw, wherever the view moves
    COLORREF textColor;
    COLORREF textBackground;
    bool holdsColors; // the background is known: the view's colours are held from now on
    bool viewWatched; // the view's own subclass is on and sees every message it is sent
    int textStyle;
};

Attachment attachment;

void RepaintNow(HWND view) {
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The shell puts its own colours back on the view when it handles a change of settings,
// and at moments that send its windows nothing (after an unlock or a resume). Checked
// before every paint; the colours are stored without a repaint of their own, and the paint
// under way gets them per item, so a reset never shows and no paint leads to another.
void HoldViewColors(HWND view) {
    if (!attachment.holdsColors) return;
    if (static_cast<COLORREF>(SendMessageW(view, LVM_GETTEXTBKCOLOR, 0, 0)) !=
        attachment.textBackground)
        SendMessageW(view, LVM_SETTEXTBKCOLOR, 0, attachment.textBackground);
    if (static_cast<COLORREF>(SendMessageW(view, LVM_GETTEXTCOLOR, 0, 0)) != attachment.textColor)
        SendMessageW(view, LVM_SETTEXTCOLOR, 0, attachment.textColor);
}

LRESULT OnItemPrePaint(NMLVCUSTOMDRAW* draw, LRESULT ownerResult) {
    if (ownerResult & CDRF_SKIPDEFAULT) return ownerResult;
    // A selected label keeps the list view's highlight colours.
    if (!(draw->nmcd.uItemState & CDIS_SELECTED)) {
        draw->clrText = attachment.textColor;
        if (attachment.holdsColors) draw->clrTextBk = attachment.textBackground;
    }
    PaintLabelCopies(*draw);
    return ownerResult | CDRF_NEWFONT;
}

LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT ownerResult) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        HoldViewColors(draw->nmcd.hdr.hwndFrom);
        // A label's text may change unseen where the view's messages are not watched.
        if (!attachment.viewWatched) DoubtKeptLabels();
        BeginLabelPaint(draw->nmcd.hdr.hwndFrom, draw->nmcd.hdc, attachment.textStyle);
        return ownerResult | CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT: EndLabelPaint(); return ownerResult;
    case CDDS_ITEMPREPAINT: return OnItemPrePaint(draw, ownerResult);
    }
    return ownerResult;
}

// The code of a notification from the view; 0 for any other message.
UINT ViewNotification(UINT message, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return message == WM_NOTIFY && header->hwndFrom == attachment.view ? header->code : 0;
}

// The messages of a paint and the queries this module sends the view: none of them changes
// a label's text. Any other message to the view may (an item set, inserted, removed or
// sorted).
bool LeavesLabelsAlone(UINT message) {
    switch (message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case LVM_GETITEMTEXTW:
    case LVM_GETITEMRECT:
    case LVM_GETNEXTITEM:
    case LVM_GETTEXTCOLOR:
    case LVM_GETTEXTBKCOLOR: return true;
    }
    return false;
}

// Passes a message on to the window's procedure. One that may change a label makes the
// kept labels doubtful both before it (for a paint inside its handling) and after it (for a
// change the list view makes once its parent has answered a notification).
LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool mayChangeLabels = !LeavesLabelsAlone(message);
    if (mayChangeLabels) DoubtKeptLabels();
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (mayChangeLabels) DoubtKeptLabels();
    return result;
}

LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR);
LRESULT CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR);

// Takes both subclasses off and forgets the view, which ends the guard of its colours. The
// reference to this module is given back last, by the caller, once nothing here runs.
void Detach() {
    if (attachment.parent) RemoveWindowSubclass(attachment.parent, ParentProc, kSubclassId);
    if (attachment.view) RemoveWindowSubclass(attachment.view, ViewProc, kSubclassId);
    EndLabelPaint();
    ForgetLabelImages();
    attachment = Attachment{};
}

// The detach message, at the view or its parent: let go, repaint the view plainly, pass
// the message on to any other copy of the module attached to `window`, then give back
// the reference to this module once `window`'s thread is idle.
LRESULT OnDetachMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND view = attachment.view;
    Detach();
    if (view) RepaintNow(view);
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    ReleaseSelfWhenIdle(view ? view : window);
    return result;
}

LRESULT OnParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT notification = ViewNotification(message, lParam);
    if (notification == NM_CUSTOMDRAW) {
        const LRESULT ownerResult = DefSubclassProc(parent, message, wParam, lParam);
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), ownerResult);
    }
    if (IsCoreMessage(message, DetachMessage()))
        return OnDetachMessage(parent, message, wParam, lParam);
    // Text smoothing, its contrast and the fonts may have changed with the settings.
    if (message == WM_SETTINGCHANGE || message == WM_THEMECHANGED) ForgetLabelImages();
    if (message == WM_NCDESTROY) {
        // The view has gone before its parent, or goes with it; the release waits on a
        // window of the thread that still exists, or on the thread's end.
        HWND anchor = GetAncestor(parent, GA_ROOT);
        Detach();
        const LRESULT result = DefSubclassProc(parent, message, wParam, lParam);
        ReleaseSelfWhenIdle(anchor);
        return result;
    }
    // The list view changes a label by itself only with a notification to its parent (one
    // edited in place), and asks the parent in one for a text it keeps; any other change
    // reaches the view in a message of its own. So of the parent's messages only these
    // make the kept labels doubtful.
    if (!notification) return DefSubclassProc(parent, message, wParam, lParam);
    const LRESULT result = PassOn(parent, message, wParam, lParam);
    if (notification == LVN_GETDISPINFOW)
        NoteLabelGiven(*reinterpret_cast<const NMLVDISPINFOW*>(lParam));
    return result;
}

// Every message of the view's parent passes through here, modal loops of the shell's own
// procedure included; the count of frames tells the release when none is left.
LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    EnterModuleFrame();
    const LRESULT result = OnParentMessage(parent, message, wParam, lParam);
    LeaveModuleFrame();
    return result;
}

// The view's own subclass only answers the detach message, which the program sends to the
// view since the shell may have moved it under another parent.
LRESULT CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
    EnterModuleFrame();
    LRESULT result;
    if (IsCoreMessage(message, DetachMessage())) {
        result = OnDetachMessage(view, message, wParam, lParam);
    } else {
        if (message == WM_NCDESTROY) RemoveWindowSubclass(view, ViewProc, kSubclassId);
        result = PassOn(view, message, wParam, lParam);
    }
    LeaveModuleFrame();
    return result;
}

// Asks whichever copy of the module is attached to `window` to leave, without waiting
// forever on a thread that hangs.
void SendDetach(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, DetachMessage(), 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kDetachWaitMs, &ignored);
}

// Subclasses the view and its parent, holding a reference to this module while the
// subclasses are on. Any other copy of the module attached there is asked to leave first.
bool Attach(HWND view, HWND parent) {
    SendDetach(view);
    SendDetach(parent);
    if (!HoldSelf()) return false;
    if (!SetWindowSubclass(parent, ParentProc, kSubclassId, 0)) {
        // The hook that runs this code still holds the module.
        FreeLibrary(selfModule);
        return false;
    }
    // Without the view's own subclass a detach still reaches the parent.
    attachment.viewWatched = SetWindowSubclass(view, ViewProc, kSubclassId, 0) != FALSE;
    attachment.parent = parent;
    attachment.view = view;
    return true;
}

bool OnThisThread(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

} // namespace

void AttachToView(HWND view, COLORREF textColor, int textStyle) {
    // A hook that a 32-bit program sets on a 64-bit thread is run by Windows in the program
    // itself, and a subclass works only on the thread that owns its window: attach only
    // when the view and its parent both belong to this thread.
    HWND parent = GetParent(view);
    if (!parent || !OnThisThread(view) || !OnThisThread(parent)) return;
    if (attachment.view != view || attachment.parent != parent) {
        // The detach path of the old attachment runs on that view's own thread.
        if (attachment.view) SendDetach(attachment.view);
        if (attachment.parent) SendDetach(attachment.parent);
        // One on a thread that does not answer is left as it is, and this view plain: its
        // detach, handled late, would end this attachment instead. One whose windows went
        // without a word (their thread ended) is forgotten.
        if (attachment.parent && IsWindow(attachment.parent)) return;
        attachment = Attachment{};
        if (!Attach(view, parent)) return;
    }
    attachment.textColor = textColor;
    attachment.textStyle = textStyle;
}

void HoldTextBackground(HWND view, COLORREF textBackground) {
    if (view != attachment.view) return;
    attachment.textBackground = textBackground;
    attachment.holdsColors = true;
    RepaintNow(view);
}
