#pragma once

namespace tidemoor {

void CopyConnectAddress();  // 标签9 pressed

}  // namespace tidemoor
