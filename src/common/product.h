#pragma once
// The product's fixed names and addresses. Every web address the tool uses is here and nowhere
// else, so tests can point the lookups at 127.0.0.1 through the functions' arguments.

namespace tidemoor {

inline constexpr char kMakerWebAddress[] = "velmora.example";
inline constexpr char kShopPageAddress[] = "https://velmora.example/shop";
inline constexpr char kPrimaryIpEchoAddress[] = "http://velmora.example:240/getmeip";
inline constexpr char kFallbackIpEchoAddress[] = "http://ifconfig.me/ip";
inline constexpr char kOfficialBanListAddress[] = "https://b.palworldgame.com/api/banlist.txt";
// KOOK's bot API (the chat app's own) and the guide's section on making a bot for it.
inline constexpr char kKookApiAddress[] = "https://www.kookapp.cn/api/v3";
inline constexpr char kKookGuideAddress[] = "https://velmora.example/guide#kook";
inline constexpr char kSteamCmdArchiveAddress[] =
    "https://steamcdn-a.akamaihd.net/client/installer/steamcmd.zip";

inline constexpr char kToolVersion[] = "1.0.0.3";

}  // namespace tidemoor
