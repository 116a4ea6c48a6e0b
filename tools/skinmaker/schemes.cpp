#include "schemes.h"

#include "art.h"

QList<Scheme> shippedSchemes()
{
    return {
        {QStringLiteral("Pewter"), rgb(0x6B7480), rgb(0x2C3139), rgb(0xDADDE1),
         rgb(0xC3C8CE), rgb(0x1E242C), rgb(0x3A8EE6), rgb(0xF4F6F8), rgb(0xB4BBC4),
         rgb(0x333B46)},
        {QStringLiteral("Maroon"), rgb(0x9A3040), rgb(0x420B14), rgb(0xEBDDDD),
         rgb(0xD4BFC1), rgb(0x3A0A12), rgb(0xE8A628), rgb(0xFAF1F1), rgb(0xCCA8AD),
         rgb(0x5C1521)},
        {QStringLiteral("Green"), rgb(0x3C8A46), rgb(0x123A1C), rgb(0xDEEADC),
         rgb(0xC2D6BF), rgb(0x123018), rgb(0x9ADB3C), rgb(0xF3F9F1), rgb(0xA9CBA4),
         rgb(0x1F4C27)},
        {QStringLiteral("Titian"), rgb(0xD0643A), rgb(0x6E2410), rgb(0xF3E5DA),
         rgb(0xE0C6B4), rgb(0x4A1808), rgb(0xFFC933), rgb(0xFFF6EE), rgb(0xE2B59A),
         rgb(0x6A2A12)},
        {QStringLiteral("SkyBlue"), rgb(0x5AAEEA), rgb(0x1A5E9E), rgb(0xE3F0FA),
         rgb(0xC4DDF1), rgb(0x0F3A62), rgb(0xFF9530), rgb(0xFFFFFF), rgb(0xB5D6F0),
         rgb(0x1B4F80)},
    };
}

Scheme builtinScheme()
{
    return {QStringLiteral("Indigo"), rgb(0x4A4F94), rgb(0x15183A), rgb(0xE0E1EF),
            rgb(0xC7C9E0), rgb(0x171A40), rgb(0x3CC8E8), rgb(0xF5F5FC),
            rgb(0xB9BBD8), rgb(0x262A5C)};
}
