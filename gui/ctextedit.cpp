#include "gui/ctextedit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/cdrawcontext.h"
#include "gui/cframe.h"
#include "gui/platform_window.h"
#include "gui/utf8.h"
#include "gui/virtual_keys.h"

namespace {

constexpr auto kBlinkHalfPeriod = std::chrono::milliseconds(500);
// Space between the field's edge and its text while editing.
constexpr CCoord kTextInset = 3;
constexpr CColor kSelectionColor(90, 130, 200, 120);
constexpr char32_t kFirstPrintable = 0x20;
constexpr char32_t kDeleteCharacter = 0x7f;
constexpr char32_t kLastC1Control = 0x9f;
// A notice wider than the field is drawn in a smaller font, down to this size.
constexpr CCoord kSmallestNoticeFont = 7;

bool isPrintable(char32_t c) {
    return c >= kFirstPrintable && c != kDeleteCharacter && !(c > kDeleteCharacter && c <= kLastC1Control);
}

bool withCommand(const VstKeyCode& key) { return (key.modifier & (MODIFIER_CONTROL | MODIFIER_COMMAND)) != 0; }

// The character a key types, if any: hosts may send a space as its virtual key alone.
char32_t typedCharacter(const VstKeyCode& key) {
    if (key.character > 0) return static_cast<char32_t>(key.character);
    return key.virt == VKEY_SPACE ? U' ' : 0;
}

// Keys the field acts on while editing; the others (function keys, Tab, shortcuts with Ctrl)
// are left to the host.
bool isEditingKey(const VstKeyCode& key) {
    switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_ESCAPE:
    case VKEY_BACK:
    case VKEY_DELETE:
    case VKEY_LEFT:
    case VKEY_RIGHT:
    case VKEY_UP:
    case VKEY_DOWN:
    case VKEY_HOME:
    case VKEY_END:
        return true;
    default:
        break;
    }
    const char32_t c = typedCharacter(key);
    if (withCommand(key)) return c == U'a' || c == U'A';
    return isPrintable(c);
}

}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, const char* initialText,
                     CBitmap* background, std::int32_t style)
    : CParamDisplay(size, background, style), text(initialText ? initialText : "") {
    setListener(listener);
    setTag(tag);
    setWantsFocus(true);
    setDirty(false);
}

CTextEdit::~CTextEdit() = default;

void CTextEdit::setText(const char* newText) {
    endEditing(false);
    text = newText ? newText : "";
    setDirty(true);
}

void CTextEdit::showNotice(const char* message, const CColor& color) {
    notice = message ? message : "";
    noticeColor = color;
    setDirty(true);
}

void CTextEdit::clearNotice() {
    if (notice.empty()) return;
    notice.clear();
    setDirty(true);
}

// ---- editing ----

void CTextEdit::beginEditing() {
    if (editing) return;
    // The user wants the name, not the message over it.
    clearNotice();
    editing = true;
    editText = text;
    anchor = 0;
    caret = editText.size();
    scroll = 0;
    boundaries.clear();
    restartBlink();
}

void CTextEdit::endEditing(bool commit) {
    if (!editing) return;
    editing = false;
    const bool changed = commit && editText != text;
    if (changed) text = editText;
    editText.clear();
    boundaries.clear();
    setDirty(true);
    if (changed) valueChanged();
}

void CTextEdit::dropFocus() {
    if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
}

void CTextEdit::takeFocus() {
    if (frame && frame->getPlatformWindow()) frame->getPlatformWindow()->takeFocus();
}

void CTextEdit::looseFocus() { endEditing(true); }

void CTextEdit::removed(CFrame* parent) {
    endEditing(false);
    CParamDisplay::removed(parent);
}

void CTextEdit::restartBlink() {
    blinkStart = Clock::now();
    setDirty(true);
}

bool CTextEdit::caretShown() const {
    if (!editing) return false;
    const auto elapsed = Clock::now() - blinkStart;
    return (elapsed / kBlinkHalfPeriod) % 2 == 0;
}

bool CTextEdit::isDirty() const { return CParamDisplay::isDirty() || (editing && caretShown() != drawnCaretShown); }

std::size_t CTextEdit::selectionStart() const { return std::min(anchor, caret); }

std::size_t CTextEdit::selectionEnd() const { return std::max(anchor, caret); }

void CTextEdit::replaceSelection(const std::string& replacement) {
    const std::size_t start = selectionStart();
    const std::size_t end = selectionEnd();
    const std::size_t kept = editText.size() - (end - start);
    const std::size_t room = kept < kMaxLength ? kMaxLength - kept : 0;
    const std::string inserted = replacement.substr(0, utf8::prefixLength(replacement, room));
    if (start == end && inserted.empty()) return;
    editText.replace(start, end - start, inserted);
    caret = anchor = start + inserted.size();
    restartBlink();
}

void CTextEdit::moveCaret(std::size_t to, bool extend) {
    caret = to;
    if (!extend) anchor = to;
    restartBlink();
}

// ---- input ----

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (!editing) {
        beginEditing();
        if (frame) frame->setFocusView(this);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (buttons.isDoubleClick()) {
        anchor = 0;
        moveCaret(editText.size(), true);
    } else if (!boundaries.empty()) {
        // The character boundary nearest to the press, as the field was last drawn.
        auto nearest = boundaries.front();
        for (const auto& boundary : boundaries)
            if (std::abs(boundary.second - where.x) < std::abs(nearest.second - where.x)) nearest = boundary;
        moveCaret(nearest.first, (buttons & kShift) != 0);
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

std::int32_t CTextEdit::onKeyDown(VstKeyCode& key) {
    if (!editing || !isEditingKey(key)) return kKeyNotHandled;
    const bool extend = (key.modifier & MODIFIER_SHIFT) != 0;
    switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
        endEditing(true);
        dropFocus();
        return kKeyHandled;
    case VKEY_ESCAPE:
        endEditing(false);
        dropFocus();
        return kKeyHandled;
    case VKEY_BACK:
        if (!hasSelection()) anchor = utf8::previousBoundary(editText, caret);
        replaceSelection({});
        return kKeyHandled;
    case VKEY_DELETE:
        if (!hasSelection()) anchor = utf8::nextBoundary(editText, caret);
        replaceSelection({});
        return kKeyHandled;
    case VKEY_LEFT:
        moveCaret(hasSelection() && !extend ? selectionStart() : utf8::previousBoundary(editText, caret), extend);
        return kKeyHandled;
    case VKEY_RIGHT:
        moveCaret(hasSelection() && !extend ? selectionEnd() : utf8::nextBoundary(editText, caret), extend);
        return kKeyHandled;
    case VKEY_HOME:
    case VKEY_UP:
        moveCaret(0, extend);
        return kKeyHandled;
    case VKEY_END:
    case VKEY_DOWN:
        moveCaret(editText.size(), extend);
        return kKeyHandled;
    default:
        break;
    }
    if (withCommand(key)) {  // Ctrl+A
        anchor = 0;
        moveCaret(editText.size(), true);
        return kKeyHandled;
    }
    std::string typed;
    utf8::append(typed, typedCharacter(key));
    replaceSelection(typed);
    return kKeyHandled;
}

std::int32_t CTextEdit::onKeyUp(VstKeyCode& key) {
    // The releases of the keys the field takes are its own too.
    return editing && isEditingKey(key) ? kKeyHandled : kKeyNotHandled;
}

// ---- drawing ----

void CTextEdit::draw(CDrawContext* context) {
    drawnCaretShown = caretShown();
    if (!editing) {
        if (style & kNoDrawStyle) return;
        drawBack(context);
        if (notice.empty())
            drawText(context, text.c_str());
        else
            drawNotice(context);
        return;
    }

    drawBack(context);
    context->setFillColor(backColor);
    context->fillRect(size);
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFrameColor(frameColor);
    context->frameRect(size);

    CRect inner = size;
    inner.inset(kTextInset, 1);
    context->setFont(&font);

    // Width of the text up to each character boundary.
    std::vector<std::pair<std::size_t, double>> widths;
    for (std::size_t at = 0;; at = utf8::nextBoundary(editText, at)) {
        widths.emplace_back(at, at == 0 ? 0.0 : context->getStringWidth(editText.substr(0, at).c_str()));
        if (at >= editText.size()) break;
    }
    const double total = widths.back().second;
    double caretWidth = 0;
    for (const auto& w : widths)
        if (w.first == caret) caretWidth = w.second;

    const double room = inner.getWidth();
    double x0;
    if (total <= room) {
        scroll = 0;
        x0 = horiAlign == kCenterText ? inner.left + (room - total) / 2
             : horiAlign == kRightText ? inner.right - total
                                       : inner.left;
    } else {
        // A text wider than the field scrolls just enough to keep the caret in view.
        if (caretWidth - scroll > room) scroll = caretWidth - room;
        if (caretWidth - scroll < 0) scroll = caretWidth;
        scroll = std::clamp(scroll, 0.0, total - room);
        x0 = inner.left - scroll;
    }
    x0 = std::round(x0);
    boundaries.clear();
    for (const auto& w : widths) boundaries.emplace_back(w.first, x0 + w.second);

    CRect clip;
    context->getClipRect(clip);
    CRect textClip = inner;
    textClip.bound(clip);
    context->saveGlobalState();
    context->setClipRect(textClip);
    if (hasSelection()) {
        double left = x0, right = x0;
        for (const auto& b : boundaries) {
            if (b.first == selectionStart()) left = b.second;
            if (b.first == selectionEnd()) right = b.second;
        }
        context->setFillColor(kSelectionColor);
        context->fillRect(CRect(left, inner.top + 1, right, inner.bottom - 1));
    }
    context->setFontColor(fontColor);
    context->drawString(editText.c_str(), CRect(x0, size.top, x0 + total + 2, size.bottom), kLeftText, antialias);
    if (drawnCaretShown && !hasSelection()) {
        const double x = std::round(x0 + caretWidth);
        context->setDrawMode(kAliasing);
        context->setFrameColor(fontColor);
        context->drawLine(CPoint(x, inner.top + 1), CPoint(x, inner.bottom - 2));
    }
    context->restoreGlobalState();
}

void CTextEdit::drawNotice(CDrawContext* context) {
    const CFontDesc saved = font;
    const CColor savedColor = fontColor;
    const CCoord room = size.getWidth() - 2 * kTextInset;
    context->setFont(&font);
    while (font.getSize() > kSmallestNoticeFont && context->getStringWidth(notice.c_str()) > room) {
        font.setSize(font.getSize() - 1);
        context->setFont(&font);
    }
    fontColor = noticeColor;
    drawText(context, notice.c_str());
    font = saved;
    fontColor = savedColor;
}

bool CTextEdit::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CTextEdit") == 0) || CParamDisplay::isTypeOf(type);
}
