// Failures that end a command, and how their text is shown to the player.
#include "platform/Failure.h"

std::string withFullStop(const std::string &text)
{
    if (text.empty())
        return text;
    // Any byte of a multi-byte UTF-8 character is above 0x7F, so letters of every
    // alphabet sort after the full stop, as they do in the single-byte code page.
    const auto last = static_cast<unsigned char>(text.back());
    if (last > static_cast<unsigned char>('.'))
        return text + '.';
    return text;
}
