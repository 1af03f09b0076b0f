// Everything the program uses of the framework.
#pragma once

#include "fw/application.h"
#include "fw/controls.h"
#include "fw/exceptions.h"
#include "fw/files.h"
#include "fw/graphics.h"
#include "fw/menu.h"
#include "fw/numbers.h"
#include "fw/window.h"
