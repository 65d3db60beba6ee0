#pragma once

#include "wizard/WizardPages.h"

namespace vantor::gui {

using vantor::PageResult;

} // namespace vantor::gui
