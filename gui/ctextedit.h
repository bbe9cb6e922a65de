// A text display the user can edit in place. A left press starts editing with the whole
// text selected and a blinking caret; typing replaces the selection; Backspace, Delete,
// Left, Right, Home and End edit and move (with Shift they extend the selection; Ctrl+A
// selects everything). Return, a press anywhere else in the frame or the window closing end
// the edit and, when the text changed, store it and tell the listener; Escape ends it and
// restores the old text without a call.
//
// Keys come from the window system while the field holds the keyboard, or from the host
// through the editor. Text is UTF-8: editing moves over whole characters, never into one.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "gui/cparamdisplay.h"

class CTextEdit : public CParamDisplay {
public:
    CTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, const char* text = nullptr,
              CBitmap* background = nullptr, std::int32_t style = 0);
    ~CTextEdit() override;

    // Setting the text while the user edits ends the edit (without a call).
    void setText(const char* text);
    // The stored text (the one last set or committed).
    const char* getText() const { return text.c_str(); }

    bool isEditing() const { return editing; }
    // The text being typed while editing (the stored text otherwise).
    const std::string& getEditText() const { return editing ? editText : text; }
    // Longest text accepted while typing, in bytes.
    static constexpr std::size_t kMaxLength = 255;

    // A short message shown in place of the text, in its own colour and made smaller where it
    // would not fit, until it is cleared or the user starts editing. The text stays as it is
    // underneath and comes back with the notice's end.
    void showNotice(const char* message, const CColor& color);
    void clearNotice();
    // The notice shown now; empty when there is none.
    const std::string& getNotice() const { return notice; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;
    void takeFocus() override;
    void looseFocus() override;
    void removed(CFrame* parent) override;

    // While editing, the caret's blink also counts as a change to redraw.
    bool isDirty() const override;

    bool isTypeOf(const char* type) const override;

private:
    using Clock = std::chrono::steady_clock;

    void drawNotice(CDrawContext* context);
    void beginEditing();
    // Leaves editing; with `commit`, a changed text is stored and the listener told.
    void endEditing(bool commit);
    void dropFocus();
    bool caretShown() const;
    void restartBlink();
    std::size_t selectionStart() const;
    std::size_t selectionEnd() const;
    bool hasSelection() const { return anchor != caret; }
    void replaceSelection(const std::string& replacement);
    void moveCaret(std::size_t to, bool extend);

    std::string text;
    std::string editText;
    std::string notice;
    CColor noticeColor;
    bool editing = false;
    std::size_t caret = 0;   // byte offsets into editText, always on character boundaries
    std::size_t anchor = 0;  // the selection's other end
    Clock::time_point blinkStart;
    bool drawnCaretShown = false;
    double scroll = 0;  // pixels of a text wider than the field scrolled out on the left
    // Where each character boundary of editText was last drawn: (byte offset, x).
    std::vector<std::pair<std::size_t, double>> boundaries;
};
