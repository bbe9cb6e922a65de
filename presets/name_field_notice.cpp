#include "presets/name_field_notice.h"

#include "gui/ccolor.h"
#include "gui/ctextedit.h"

namespace {

// Dark red: reads well on the field's light grey-blue and stands apart from the name's ink.
const CColor kWarningColor(178, 22, 22, 255);

}  // namespace

void CNameFieldNotice::show(CTextEdit* field, const CommandNotice& notice) {
    if (!field) return;
    if (!notice.failed()) {
        field->clearNotice();
        return;
    }
    field->showNotice(notice.text.c_str(), kWarningColor);
    until = now() + kShownFor;
}

void CNameFieldNotice::idle(CTextEdit* field) {
    if (field && !field->getNotice().empty() && now() >= until) field->clearNotice();
}
