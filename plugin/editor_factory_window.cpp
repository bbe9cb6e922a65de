#include "editor/ad_editor.h"
#include "plugin/adelay.h"
#include "plugin/editor_factory.h"

void createEditor(ADelay* effect) { new ADEditor(effect); }
