// Reading rules of the settings file.
#include <gtest/gtest.h>

#include "app/Settings.h"
