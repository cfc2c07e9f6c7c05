#include "ContentFinding.h"

std::string TContentFinding::Text() const
{
    std::string text = CheckMessages[static_cast<int>(Code)];
    const std::size_t dollar = text.find('$');
    if (dollar != std::string::npos)
        text.replace(dollar, 1, Value);
    return text;
}
