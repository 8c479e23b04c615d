// Failures that end a command, and how their text is shown to the player.
#pragma once

#include <stdexcept>
#include <string>

// A failure whose what() is the text the player sees (before the full stop is added).
class Failure : public std::runtime_error
{
public:
    explicit Failure(const std::string &text)
        : std::runtime_error(text)
    { }
};

// The error box's rule: a full stop is added when the text is not empty and its last
// character sorts after ".".
std::string withFullStop(const std::string &text);
