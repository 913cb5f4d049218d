// Failure messages: catalogue text, arguments in order, the system's text for
// the last error, the 1024-byte limit, arguments never read as templates.
#include <gtest/gtest.h>

#include "Seam.h"
#include "TestText.h"
#include "app/SetupApp.h"
#include "framework/Afx.h"
#include "resource.h"

TEST(ReportError, FillsTheTextWithTheArgumentAndTheSystemText) {
    const std::string system2 = SystemText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(system2.empty());
    EXPECT_EQ(system2.substr(system2.size() - 2), "\r\n");

    SetLastError(ERROR_FILE_NOT_FOUND);
    CSetupApp::ReportError(IDS_FILE_ACCESS, "C:\\Setup\\Scrivon.exe", MB_ICONSTOP);
    ASSERT_EQ(seam::MessageBoxes().size(), 1u);
    const seam::MessageBoxCall& box = seam::MessageBoxes()[0];
    EXPECT_EQ(box.text, Fill(Catalogue(IDS_FILE_ACCESS), {"C:\\Setup\\Scrivon.exe", system2}));
    EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(box.owner, nullptr);
}

TEST(ReportError, SystemTextComesBeforeTheClosingRequest) {
    SetLastError(ERROR_ACCESS_DENIED);
    CSetupApp::ReportError(IDS_SYSLIB_ACCESS, "C:\\WINDOWS\\SYSTEM\\MFC42.DLL", MB_ICONSTOP);
    const std::string text = seam::MessageBoxes().at(0).text;
    const std::string system5 = SystemText(ERROR_ACCESS_DENIED);
    EXPECT_EQ(text, Fill(Catalogue(IDS_SYSLIB_ACCESS), {"C:\\WINDOWS\\SYSTEM\\MFC42.DLL", system5}));
    EXPECT_NE(text.find(system5), std::string::npos);
    EXPECT_LT(text.find(system5), text.size() - system5.size()) << "the request follows the system text";
}

TEST(ReportError2, FillsSourceDestinationAndSystemTextInOrder) {
    SetLastError(ERROR_DISK_FULL);
    CSetupApp::ReportError2(IDS_COPY_FAILED, "C:\\From\\a.ini", "D:\\To\\a.ini", MB_ICONSTOP);
    EXPECT_EQ(seam::MessageBoxes().at(0).text,
              Fill(Catalogue(IDS_COPY_FAILED), {"C:\\From\\a.ini", "D:\\To\\a.ini", SystemText(ERROR_DISK_FULL)}));
}

TEST(ReportError, PercentSignsInArgumentsAreShownAsTheyAre) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    CSetupApp::ReportError(IDS_CREATE_DIRECTORY, "C:\\100%s %d %n done", MB_ICONINFORMATION);
    const seam::MessageBoxCall& box = seam::MessageBoxes().at(0);
    EXPECT_NE(box.text.find("C:\\100%s %d %n done"), std::string::npos) << box.text;
    EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST(ReportError, TextIsCutAt1023Characters) {
    std::string longName(3000, 'x');
    SetLastError(ERROR_FILE_NOT_FOUND);
    CSetupApp::ReportError(IDS_CREATE_FILE, longName.c_str(), MB_ICONSTOP);
    const std::string text = seam::MessageBoxes().at(0).text;
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_EQ(text, Fill(Catalogue(IDS_CREATE_FILE), {longName, ""}).substr(0, 1023));
}

TEST(ReportError, CodeWithoutSystemTextGivesAnEmptyOne) {
    SetLastError(0x2FFFFFFF);
    CSetupApp::ReportError(IDS_WRITE_ERROR, "C:\\Autoexec.bat", MB_ICONSTOP);
    EXPECT_EQ(seam::MessageBoxes().at(0).text, Fill(Catalogue(IDS_WRITE_ERROR), {"C:\\Autoexec.bat", ""}));
}
