// Runs the Wine tests; the product's exception hook is made to fail the test instead of ending
// the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
