#pragma once
// A test that puts a language in force and leaves none behind for the next test.
#include "Globals.h"

#include <gtest/gtest.h>

class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override {
        LangOffset = 0;
        LangStrings.clear();
    }
    static void useLanguage(quint16 offset) {
        LangOffset = offset;
        LoadLangStrings();
    }
};
