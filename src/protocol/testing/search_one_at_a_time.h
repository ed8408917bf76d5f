// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The search as it ran before it served every interface at once: each interface in turn gets
// its two sends and its 32 polls. It is the yardstick of the replay tests and the benchmark;
// only they link it, so the program itself cannot fall back to it.

#include "protocol/device_table.h"
#include "protocol/exchange_io.h"
#include "protocol/protocol_types.h"

namespace corvane::protocol::testing {

void RunSearchOneInterfaceAtATime(ExchangeIo& io, int interfaceCount, const ClientIdBytes& clientId,
                                  int firstFilter, int secondFilter, DeviceRecordList& table);

}  // namespace corvane::protocol::testing
