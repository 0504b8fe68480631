#include "tests/framework/ProgramCopy.h"

#include <gtest/gtest.h>

// Each case prepares a program folder and runs the probe's checks in it
// (tests/framework/probe): the module scan and the settings file belong to
// the program's own folder.

namespace {

const std::initializer_list<const char*> kEveryModule = {"Valid.dll", "WrongVersion.dll", "OutOfRange.dll",
                                                         "SameId.dll", "OtherProduct.dll"};

void ExpectProbePasses(ProgramCopy& copy, const char* filter) {
    ASSERT_TRUE(copy.Ready()) << copy.Folder();
    std::string output;
    EXPECT_EQ(copy.Run(filter, &output), 0u) << output;
    EXPECT_NE(output.find(std::string("[       OK ] ") + filter), std::string::npos) << output;
}

}  // namespace

TEST(LanguageResource_Folder, WithoutModulesOnlyTheProgramsOwnLanguage) {
    ProgramCopy copy({});
    ExpectProbePasses(copy, "LanguageProbe.OnlyBuiltIn");
}

TEST(LanguageResource_Folder, ScanAcceptsOnlyValidModules) {
    ProgramCopy copy(kEveryModule);
    ExpectProbePasses(copy, "LanguageProbe.ScanAcceptsOnlyValidModules");
}

TEST(LanguageResource_Folder, SelectedModuleServesStringsAndTemplates) {
    ProgramCopy copy(kEveryModule);
    ExpectProbePasses(copy, "LanguageProbe.SelectedModuleServesStringsAndTemplates");
}

TEST(LanguageResource_Folder, DialogPlacementSurvivesTheNextRun) {
    ProgramCopy copy({});
    ExpectProbePasses(copy, "SettingsProbe.MoveDialog");
    EXPECT_EQ(copy.ReadFile("zorcfg.ini"), "[PlacementDlg]\r\nLeft=222\r\nTop=111\r\n");
    ExpectProbePasses(copy, "SettingsProbe.DialogOpensWhereItWasLeft");
}
