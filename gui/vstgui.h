// The whole toolkit in one include, for editors.
#pragma once

#include "gui/cbitmap.h"
#include "gui/ccolor.h"
#include "gui/ccontrol.h"
#include "gui/cdrawcontext.h"
#include "gui/cfont.h"
#include "gui/cframe.h"
#include "gui/cgeometry.h"
#include "gui/ckickbutton.h"
#include "gui/cknob.h"
#include "gui/conoffbutton.h"
#include "gui/cparamdisplay.h"
#include "gui/crockerswitch.h"
#include "gui/csplashscreen.h"
#include "gui/cview.h"
#include "gui/gui_constants.h"
#include "gui/virtual_keys.h"
