#include "install/server_size.h"

#include <gtest/gtest.h>

#include <optional>

namespace tidemoor {
namespace {

// SteamCMD's lines around the block, depots for other systems and ones without a size.
TEST(ServerSize, SumsThePublicManifestsOfTheWindowsDepots) {
  constexpr char kOutput[] = R"(Connecting anonymously to Steam Public...OK
AppID : 2394010, change number : 25812345/0, last change : Mon Dec  7 10:12:44 2026
"2394010"
{
	"depots"
	{
		"2394011" { "config" { "oslist" "windows" } "manifests" { "public" { "gid" "1" "size" "4000000000" "download" "1500000000" } } }
		"2394012" { "config" { "oslist" "linux" } "manifests" { "public" { "size" "3900000000" } } }
		"2394013" { "manifests" { "public" { "size" "100" } } }
		"1006" { "config" { "oslist" "windows,linux" } "manifests" { "public" { "size" "60000000" } } }
		"2394014" { "manifests" { "public" { "gid" "7" } } }
		"branches" { "public" { "buildid" "16812345" } }
	}
}
Unloading Steam API...OK
"2394010" { "depots" { "9" { "manifests" { "public" { "size" "1" } } } } }
)";
  EXPECT_EQ(ServerInstallBytes(kOutput, "2394010"), 4060000100u);
  EXPECT_EQ(ServerInstallBytes(kOutput, "1623730"), std::nullopt);
  EXPECT_EQ(ServerInstallBytes("No app info for AppID 2394010 found, requesting...", "2394010"),
            std::nullopt);
  EXPECT_EQ(ServerInstallBytes(
                R"("2394010" { "depots" { "1" { "manifests" { "public" { "size" "x" } } } } })",
                "2394010"),
            std::nullopt);
  EXPECT_EQ(ServerInstallBytes(R"("2394010" { "depots" { "1" { "manifests" )", "2394010"),
            std::nullopt);
}

}  // namespace
}  // namespace tidemoor
