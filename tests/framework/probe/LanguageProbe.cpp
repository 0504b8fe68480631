#include "framework/LanguageResource.h"
#include <gtest/gtest.h>
TEST(Probe, Nothing) { SUCCEED(); }
