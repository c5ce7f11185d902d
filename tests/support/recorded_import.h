// RecordedImport and RecordImport: in fake_import.h, beside the fake they are made of.
#pragma once

#include "support/fake_import.h"
