#include <gtest/gtest.h>

#include "core/VersionRules.h"
#include "core/LinkRules.h"

TEST(LinkRules, TheSuffixIsTheTagAfterTheFirstDashOfTheInstallersName)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Downloads\\setup-A7X2.exe", "?ID=A7X2"},
        {"C:\\Downloads\\setup.exe", ""},
        {"setup-a-b.exe", "?ID=a-b"},
        {"D:setup-.exe", "?ID="},
        {"C:\\odd-folder\\setup.exe", ""},
        {"C:\\x\\setup-" + std::string(300, 'T') + ".exe", "?ID=" + std::string(260, 'T')},
        {"", ""},
    };
    for (const auto& [file, suffix] : cases)
        EXPECT_EQ(settings::ReferralSuffix(file), suffix) << file;
}

TEST(LinkRules, TheUpdatePageFollowsTheShortVersion)
{
    const std::pair<std::string, std::string> cases[] = {
        {"v 1.0b", "http://www.orvanel.example/gridlark/upd/glv1_0b.htm"},
        {" v 2.3 ", "http://www.orvanel.example/gridlark/upd/glv2_3.htm"},
        {"v 1.4.30", "http://www.orvanel.example/gridlark/upd/glv1_4_30.htm"},
    };
    for (const auto& [version, address] : cases)
        EXPECT_EQ(settings::UpdatePageAddress("http://www.orvanel.example", version), address) << version;
}

TEST(LinkRules, EachVersionGivesItsUpdatePage)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1.0.2.1", "/gridlark/upd/glv1_0b.htm"},
        {"2.3.0.5", "/gridlark/upd/glv2_3.htm"},
        {"1.4.30.2", "/gridlark/upd/glv1_4_30.htm"},
    };
    for (const auto& [version, path] : cases)
        EXPECT_EQ(settings::UpdatePageAddress("http://www.ORVANEL.example", version::ShortVersion(version)),
                  "http://www.orvanel.example" + path)
            << version;
}
