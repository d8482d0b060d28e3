#pragma once
// One item of an executable's version resource, as the status line shows the server's version.

#include <string>
#include <string_view>

namespace tidemoor {

// kind: 1 Comments, 2 CompanyName, 3 FileDescription, 4 and 11 the fixed file version (four
// decimal parts joined by dots), 5 InternalName, 6 LegalCopyright, 7 LegalTrademarks,
// 8 OriginalFilename, 9 PrivateBuild, 10 ProductName, 12 SpecialBuild; any other kind reads as 1.
// String items are looked up for Chinese (PRC), then US English, then the file's own first
// language. Empty when the file, its resource or the item is missing.
std::string ReadVersionInfo(std::string_view executablePath, int kind);

}  // namespace tidemoor
