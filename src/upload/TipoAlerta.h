// SPDX-License-Identifier: MIT
#pragma once

namespace skyloft {

// The upload screen's alert items; an optional one is on display at a time.
enum class TipoAlerta
{
    noHayInternet
};

} // namespace skyloft
