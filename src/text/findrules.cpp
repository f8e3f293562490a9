#include "text/findrules.h"

namespace sheetsmith {

FindRange FirstFindRange(FindDirection direction, qsizetype selStart, qsizetype textLength)
{
    switch (direction) {
    case FindDirection::Up:
        return {true, 1, textLength};
    case FindDirection::Down:
        return {true, selStart, textLength};
    case FindDirection::All:
        break;
    }
    return {true, std::nullopt, std::nullopt};
}

FindRange NextFindRange(FindDirection direction, qsizetype selStart, qsizetype selLength, qsizetype textLength,
                        qsizetype whatLength)
{
    switch (direction) {
    case FindDirection::Up: {
        const qsizetype last = selStart - 1;
        if (last > 1)
            return {true, last, 1};
        if (last == 1 && whatLength > 0)
            return {true, 1, 1 + whatLength};
        return {false, std::nullopt, std::nullopt};
    }
    case FindDirection::Down:
        return {true, selStart + selLength, textLength};
    case FindDirection::All:
        break;
    }
    return {true, selStart + selLength, std::nullopt};
}

} // namespace sheetsmith
