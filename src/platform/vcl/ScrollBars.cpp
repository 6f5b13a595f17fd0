// Scroll bars drawn by the framework in a window control's non-client area (flat look:
// arrow buttons, track, thumb), their mouse handling, and ScrollWindowEx.
// Hit codes: 0 line up/left arrow, 1 line down/right arrow, 2 page up/left, 3 page
// down/right, 5 the thumb (the SB_ code each part sends); -1 outside.
#include "platform/vcl/ControlsPrivate.h"

#include <algorithm>

namespace mv {

namespace {

constexpr Integer kMinThumb = 8;

Integer BarIndex(Integer bar) {
    return bar == SB_VERT ? 1 : 0;
}

// Clamps info's position into the range its page leaves.
Integer ClampPos(const TScrollInfo& info, Integer pos) {
    const Integer maxPos = info.nMax - std::max<Integer>(static_cast<Integer>(info.nPage) - 1, 0);
    return std::max(info.nMin, std::min(pos, std::max(maxPos, info.nMin)));
}

bool RangeExceedsPage(const TScrollInfo& info) {
    const Int64 range = static_cast<Int64>(info.nMax) - info.nMin + 1;
    return info.nMax > info.nMin && (info.nPage == 0 || range > static_cast<Int64>(info.nPage));
}

struct TBarGeometry {
    TRect Bar, Arrow1, Arrow2, Track, Thumb;
};

TBarGeometry Geometry(const TWinControl* control, Integer bar, const TScrollInfo& info, Integer pos) {
    TBarGeometry g;
    g.Bar = ScrollBarRect(control, bar);
    if (g.Bar.IsEmpty()) return g;
    const bool vertical = bar == SB_VERT;
    const Integer length = vertical ? g.Bar.Height() : g.Bar.Width();
    const Integer arrow = std::min(vertical ? g.Bar.Width() : g.Bar.Height(), length / 2);
    if (vertical) {
        g.Arrow1 = Rect(g.Bar.Left, g.Bar.Top, g.Bar.Right, g.Bar.Top + arrow);
        g.Arrow2 = Rect(g.Bar.Left, g.Bar.Bottom - arrow, g.Bar.Right, g.Bar.Bottom);
        g.Track = Rect(g.Bar.Left, g.Arrow1.Bottom, g.Bar.Right, g.Arrow2.Top);
    } else {
        g.Arrow1 = Rect(g.Bar.Left, g.Bar.Top, g.Bar.Left + arrow, g.Bar.Bottom);
        g.Arrow2 = Rect(g.Bar.Right - arrow, g.Bar.Top, g.Bar.Right, g.Bar.Bottom);
        g.Track = Rect(g.Arrow1.Right, g.Bar.Top, g.Arrow2.Left, g.Bar.Bottom);
    }
    const Integer track = vertical ? g.Track.Height() : g.Track.Width();
    const Int64 range = static_cast<Int64>(info.nMax) - info.nMin + 1;
    if (range <= 0 || track < kMinThumb || !RangeExceedsPage(info)) return g;
    Integer thumb =
        info.nPage > 0 ? static_cast<Integer>(track * static_cast<Int64>(info.nPage) / range) : arrow;
    thumb = std::clamp(thumb, kMinThumb, track);
    const Int64 span = range - std::max<Int64>(static_cast<Int64>(info.nPage), 1);
    const Integer offset =
        span > 0 ? static_cast<Integer>((track - thumb) * (static_cast<Int64>(pos) - info.nMin) / span) : 0;
    if (vertical)
        g.Thumb = Rect(g.Track.Left, g.Track.Top + offset, g.Track.Right, g.Track.Top + offset + thumb);
    else
        g.Thumb = Rect(g.Track.Left + offset, g.Track.Top, g.Track.Left + offset + thumb, g.Track.Bottom);
    return g;
}

void DrawArrow(HDC dc, const TRect& r, Integer direction, bool enabled) {
    TRect box = r;
    dc->Brush()->SetColor(clBtnFace);
    dc->Brush()->SetStyle(bsSolid);
    dc->FillRect(box);
    DrawEdge(dc, box, EDGE_RAISED, BF_RECT | BF_FLAT);
    const Integer cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const Integer s = std::max(2, std::min(r.Width(), r.Height()) / 4);
    TPoint pts[3];
    switch (direction) {
    case 0: // up
        pts[0] = {cx - s, cy + s / 2}, pts[1] = {cx + s, cy + s / 2}, pts[2] = {cx, cy - s / 2 - 1};
        break;
    case 1: // down
        pts[0] = {cx - s, cy - s / 2}, pts[1] = {cx + s, cy - s / 2}, pts[2] = {cx, cy + s / 2 + 1};
        break;
    case 2: // left
        pts[0] = {cx + s / 2, cy - s}, pts[1] = {cx + s / 2, cy + s}, pts[2] = {cx - s / 2 - 1, cy};
        break;
    default: // right
        pts[0] = {cx - s / 2, cy - s}, pts[1] = {cx - s / 2, cy + s}, pts[2] = {cx + s / 2 + 1, cy};
        break;
    }
    const TColor color = enabled ? clBtnText : clGrayText;
    dc->Pen()->SetColor(color);
    dc->Brush()->SetColor(color);
    dc->Polygon(pts);
}

} // namespace

// [SECTION] Scroll information
TRect ScrollBarRect(const TWinControl* control, Integer bar) {
    const TRect ciw = TWindowManager::ClientInWindow(control);
    const Integer size = GetSystemMetrics(bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
    if (!control->ScrollBarVisible(bar)) return {};
    if (bar == SB_VERT) {
        if (control->UseRightToLeftScrollBar()) return Rect(ciw.Left - size, ciw.Top, ciw.Left, ciw.Bottom);
        return Rect(ciw.Right, ciw.Top, ciw.Right + size, ciw.Bottom);
    }
    return Rect(ciw.Left, ciw.Bottom, ciw.Right, ciw.Bottom + size);
}

Integer SetScrollInfo(HWND handle, Integer bar, const TScrollInfo& info, bool redraw) {
    TWinControl* c = FindControl(handle);
    if (!c || (bar != SB_HORZ && bar != SB_VERT)) return 0;
    TScrollInfo& s = c->FScrollInfo[BarIndex(bar)];
    if (info.fMask & SIF_RANGE) {
        s.nMin = info.nMin;
        s.nMax = info.nMax;
    }
    if (info.fMask & SIF_PAGE) s.nPage = info.nPage;
    if (info.fMask & SIF_POS) s.nPos = info.nPos;
    s.nPos = ClampPos(s, s.nPos);
    if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
        const bool show = RangeExceedsPage(s) || (info.fMask & SIF_DISABLENOSCROLL);
        if (show != c->FScrollVisible[BarIndex(bar)]) ShowScrollBar(handle, bar, show);
    }
    if (redraw) {
        c->FNonClientDirty = true;
        TWindowManager::Get().PaintRequested = true;
    }
    return s.nPos;
}

bool GetScrollInfo(HWND handle, Integer bar, TScrollInfo& info) {
    TWinControl* c = FindControl(handle);
    if (!c || (bar != SB_HORZ && bar != SB_VERT)) return false;
    const TScrollInfo& s = c->FScrollInfo[BarIndex(bar)];
    if (info.fMask & SIF_RANGE) {
        info.nMin = s.nMin;
        info.nMax = s.nMax;
    }
    if (info.fMask & SIF_PAGE) info.nPage = s.nPage;
    if (info.fMask & SIF_POS) info.nPos = s.nPos;
    if (info.fMask & SIF_TRACKPOS) {
        const TScrollDrag& d = TWindowManager::Get().ScrollDrag;
        info.nTrackPos = d.Handle == handle && d.Bar == bar ? s.nTrackPos : s.nPos;
    }
    return true;
}

Integer SetScrollPos(HWND handle, Integer bar, Integer pos, bool redraw) {
    TScrollInfo old;
    old.fMask = SIF_POS;
    if (!GetScrollInfo(handle, bar, old)) return 0;
    TScrollInfo info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    SetScrollInfo(handle, bar, info, redraw);
    return old.nPos;
}

Integer GetScrollPos(HWND handle, Integer bar) {
    TScrollInfo info;
    info.fMask = SIF_POS;
    return GetScrollInfo(handle, bar, info) ? info.nPos : 0;
}

bool SetScrollRange(HWND handle, Integer bar, Integer minPos, Integer maxPos, bool redraw) {
    TScrollInfo info;
    info.fMask = SIF_RANGE;
    info.nMin = minPos;
    info.nMax = maxPos;
    SetScrollInfo(handle, bar, info, redraw);
    return FindControl(handle) != nullptr;
}

bool ShowScrollBar(HWND handle, Integer bar, bool show) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    bool changed = false;
    for (Integer b : {SB_HORZ, SB_VERT}) {
        if (bar != SB_BOTH && bar != b) continue;
        if (c->FScrollVisible[BarIndex(b)] == show) continue;
        c->FScrollVisible[BarIndex(b)] = show;
        changed = true;
    }
    if (!changed) return true;
    // The client area changes: the control hears WM_SIZE and is painted again.
    c->UpdateNonClient();
    c->FNonClientDirty = true;
    c->InvalidateRect(nullptr);
    if (c->Parent()) {
        const TRect r = c->BoundsRect();
        c->Parent()->InvalidateRect(&r);
    }
    const TRect client = c->ClientRect();
    c->Perform(WM_SIZE, SIZE_RESTORED,
               MakeLParam(static_cast<Word>(client.Width()), static_cast<Word>(client.Height())));
    c->Realign();
    return true;
}

// [SECTION] Painting and mouse
void PaintScrollBars(TWinControl* control, HDC dc, const TRect& windowRect, const TRect& clientInWindow) {
    (void)windowRect;
    (void)clientInWindow;
    TScrollInfo infos[2];
    for (Integer bar : {SB_HORZ, SB_VERT}) {
        TScrollInfo& info = infos[BarIndex(bar)];
        info.fMask = SIF_ALL;
        GetScrollInfo(control->Handle(), bar, info);
        const TScrollDrag& d = TWindowManager::Get().ScrollDrag;
        const Integer pos = d.Handle == control->Handle() && d.Bar == bar && d.Code == SB_THUMBTRACK
                                ? info.nTrackPos
                                : info.nPos;
        const TBarGeometry g = Geometry(control, bar, info, pos);
        if (g.Bar.IsEmpty()) continue;
        const bool enabled = control->IsEffectivelyEnabled() && RangeExceedsPage(info);
        dc->Brush()->SetColor(clScrollBar);
        dc->Brush()->SetStyle(bsSolid);
        dc->FillRect(g.Track);
        DrawArrow(dc, g.Arrow1, bar == SB_VERT ? 0 : 2, enabled);
        DrawArrow(dc, g.Arrow2, bar == SB_VERT ? 1 : 3, enabled);
        if (!g.Thumb.IsEmpty() && enabled) {
            TRect thumb = g.Thumb;
            dc->Brush()->SetColor(clBtnFace);
            dc->FillRect(thumb);
            DrawEdge(dc, thumb, EDGE_RAISED, BF_RECT | BF_FLAT);
        }
    }
    // The corner square where both bars meet.
    const TRect h = ScrollBarRect(control, SB_HORZ), v = ScrollBarRect(control, SB_VERT);
    if (!h.IsEmpty() && !v.IsEmpty()) {
        dc->Brush()->SetColor(clBtnFace);
        dc->FillRect(Rect(v.Left, h.Top, v.Right, h.Bottom));
    }
}

Integer ScrollBarHitTest(TWinControl* control, TPoint p) {
    for (Integer bar : {SB_HORZ, SB_VERT}) {
        TScrollInfo info;
        GetScrollInfo(control->Handle(), bar, info);
        const TBarGeometry g = Geometry(control, bar, info, info.nPos);
        if (!g.Bar.Contains(p)) continue;
        if (g.Arrow1.Contains(p)) return bar * 16 + SB_LINEUP;
        if (g.Arrow2.Contains(p)) return bar * 16 + SB_LINEDOWN;
        if (g.Thumb.Contains(p)) return bar * 16 + SB_THUMBTRACK;
        const bool before = bar == SB_VERT ? p.Y < g.Thumb.Top : p.X < g.Thumb.Left;
        return bar * 16 + (before ? SB_PAGEUP : SB_PAGEDOWN);
    }
    return -1;
}

namespace {

void SendScroll(TWinControl* control, Integer bar, Word code, Integer pos) {
    control->Perform(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
                     MakeWParam(code, static_cast<Word>(static_cast<std::int16_t>(pos))), 0);
}

} // namespace

void ScrollBarRepeat(HWND handle) {
    TWindowManager& wm = TWindowManager::Get();
    TScrollDrag& drag = wm.ScrollDrag;
    TWindowRecord* rec = wm.Find(handle);
    if (!rec || !rec->Control || drag.Handle != handle || drag.Code == SB_THUMBTRACK) {
        KillTimer(handle, kScrollRepeatTimer);
        return;
    }
    SetTimer(handle, kScrollRepeatTimer, kScrollRepeatInterval);
    // A page repeat stops by itself once the thumb reaches the pointer: the part under
    // it is no longer the track before (or after) the thumb.
    if (ScrollBarHitTest(rec->Control, drag.Last) != drag.Bar * 16 + drag.Code) return;
    SendScroll(rec->Control, drag.Bar, drag.Code, rec->Control->FScrollInfo[BarIndex(drag.Bar)].nPos);
}

void ScrollBarMouse(TWinControl* control, UINT msg, TPoint p) {
    TWindowManager& wm = TWindowManager::Get();
    TScrollDrag& drag = wm.ScrollDrag;
    const HWND handle = control->Handle();
    auto send = [&](Integer bar, Word code, Integer pos) { SendScroll(control, bar, code, pos); };
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        const Integer hit = ScrollBarHitTest(control, p);
        if (hit < 0) return;
        const Integer bar = hit / 16;
        const Word code = static_cast<Word>(hit % 16);
        TScrollInfo& info = control->FScrollInfo[BarIndex(bar)];
        if (!RangeExceedsPage(info) || !control->IsEffectivelyEnabled()) return;
        drag = {handle, bar, code, 0, p};
        if (code == SB_THUMBTRACK) {
            const TBarGeometry g = Geometry(control, bar, info, info.nPos);
            drag.GrabOffset = bar == SB_VERT ? p.Y - g.Thumb.Top : p.X - g.Thumb.Left;
            info.nTrackPos = info.nPos;
        } else {
            send(bar, code, info.nPos);
            SetTimer(handle, kScrollRepeatTimer, kScrollRepeatDelay);
        }
        if (TWinControl* top = control->TopLevel())
            if (TWindowRecord* rec = wm.Find(top->Handle()); rec && CurrentHost())
                CurrentHost()->CaptureMouse(rec->HostWindow);
        return;
    }
    if (!drag.Handle || drag.Handle != handle) return;
    TScrollInfo& info = control->FScrollInfo[BarIndex(drag.Bar)];
    drag.Last = p;
    if (msg == WM_MOUSEMOVE && drag.Code == SB_THUMBTRACK) {
        const TBarGeometry g = Geometry(control, drag.Bar, info, info.nPos);
        const bool vertical = drag.Bar == SB_VERT;
        const Integer track = vertical ? g.Track.Height() : g.Track.Width();
        const Integer thumb = vertical ? g.Thumb.Height() : g.Thumb.Width();
        const Integer at = (vertical ? p.Y - g.Track.Top : p.X - g.Track.Left) - drag.GrabOffset;
        const Int64 span = static_cast<Int64>(info.nMax) - info.nMin + 1 - std::max<Int64>(info.nPage, 1);
        const Integer free = std::max(track - thumb, 1);
        const Integer pos =
            ClampPos(info, info.nMin + static_cast<Integer>(span * std::clamp(at, 0, free) / free));
        if (pos != info.nTrackPos) {
            info.nTrackPos = pos;
            control->FNonClientDirty = true;
            wm.PaintRequested = true;
            send(drag.Bar, SB_THUMBTRACK, pos);
        }
        return;
    }
    if (msg == WM_LBUTTONUP) {
        const TScrollDrag done = drag;
        KillTimer(handle, kScrollRepeatTimer);
        // The drag ends after SB_THUMBPOSITION: its handler may ask GetScrollInfo for the
        // track position, which is only kept while the thumb is held.
        if (done.Code == SB_THUMBTRACK) send(done.Bar, SB_THUMBPOSITION, info.nTrackPos);
        drag = {};
        send(done.Bar, SB_ENDSCROLL, 0);
        control->FNonClientDirty = true;
        wm.PaintRequested = true;
        if (CurrentHost() && !wm.CaptureControl) CurrentHost()->CaptureMouse(0);
    }
}

// [SECTION] ScrollWindowEx
Integer ScrollWindowEx(HWND handle, Integer dx, Integer dy, const TRect* scroll, const TRect* clip,
                       HRGN updateRegion, TRect* update, UINT flags) {
    TWinControl* c = FindControl(handle);
    if (update) *update = {};
    if (!c) return RGN_ERROR;
    const TRect client = c->ClientRect();
    TRect source = client;
    if (scroll && !IntersectRect(source, *scroll, client)) return NULLREGION;
    TRect limit = client;
    if (clip && !IntersectRect(limit, *clip, client)) return NULLREGION;
    TRect moved = source;
    OffsetRect(moved, dx, dy);

    // Pixels: only a shown window has any.
    TWindowManager& wm = TWindowManager::Get();
    TWinControl* top = c->TopLevel();
    TWindowRecord* rec = top && top->HandleAllocated() ? wm.Find(top->Handle()) : nullptr;
    if (rec && rec->HostWindow && CurrentHost() && c->Showing()) {
        const TPoint origin = TWindowManager::OriginInTopLevel(c);
        TRect bufferClip = limit;
        OffsetRect(bufferClip, origin.X, origin.Y);
        IntersectRect(bufferClip, bufferClip, TWindowManager::VisibleClientInTopLevel(c));
        if (!bufferClip.IsEmpty()) {
            TCanvas canvas;
            canvas.SetTarget(CurrentHost()->HostWindowPixels(rec->HostWindow), origin, bufferClip);
            canvas.ScrollPixels(source, dx, dy);
            canvas.ReleaseTarget();
            wm.MarkPresent(top, bufferClip);
        }
    }

    // A pending update moves with the pixels it belongs to.
    if (!c->FUpdateRect.IsEmpty()) {
        TRect pending;
        if (IntersectRect(pending, c->FUpdateRect, source)) {
            OffsetRect(pending, dx, dy);
            if (IntersectRect(pending, pending, limit)) UnionRect(c->FUpdateRect, c->FUpdateRect, pending);
        }
    }

    // The uncovered strip: the part of source (within limit) no moved pixel landed on.
    TRect uncovered;
    TRect area;
    if (IntersectRect(area, source, limit)) {
        TRect strips[2];
        if (dx > 0)
            strips[0] = Rect(area.Left, area.Top, std::min(area.Right, source.Left + dx), area.Bottom);
        else if (dx < 0)
            strips[0] = Rect(std::max(area.Left, source.Right + dx), area.Top, area.Right, area.Bottom);
        if (dy > 0)
            strips[1] = Rect(area.Left, area.Top, area.Right, std::min(area.Bottom, source.Top + dy));
        else if (dy < 0)
            strips[1] = Rect(area.Left, std::max(area.Top, source.Bottom + dy), area.Right, area.Bottom);
        for (const TRect& s : strips)
            if (!s.IsEmpty()) UnionRect(uncovered, uncovered, s);
    }
    if (update) *update = uncovered;
    if (updateRegion) updateRegion->Bounds = uncovered;
    if (!uncovered.IsEmpty() && (flags & SW_INVALIDATE)) c->InvalidateRect(&uncovered);

    // Child windows over the moved pixels were moved with them: they paint again.
    TRect touched;
    UnionRect(touched, source, moved);
    IntersectRect(touched, touched, limit);
    for (Integer i = 0; i < c->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(c->Controls(i));
        if (!child || !child->Visible()) continue;
        TRect overlap;
        if (IntersectRect(overlap, touched, child->BoundsRect())) child->Invalidate();
    }
    return uncovered.IsEmpty() ? NULLREGION : SIMPLEREGION;
}

} // namespace mv
