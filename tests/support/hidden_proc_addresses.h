// HiddenProcAddresses: in fake_import.h, beside the fake it is made of.
#pragma once

#include "support/fake_import.h"
