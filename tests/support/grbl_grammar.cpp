#include "grbl_grammar.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

namespace corvane::testing {

namespace {

// GRBL 1.1's G codes (times 10, so G38.2 is 382) and their modal groups; group 0 holds the
// non-modal codes, of which a line may also carry only one.
const std::map<int, int>& gGroups()
{
    static const std::map<int, int> groups{
        {0, 1},    {10, 1},   {20, 1},   {30, 1},   {382, 1},  {383, 1}, {384, 1}, {385, 1},
        {800, 1},  {40, 0},   {100, 0},  {280, 0},  {281, 0},  {300, 0}, {301, 0}, {530, 0},
        {920, 0},  {921, 0},  {170, 2},  {180, 2},  {190, 2},  {900, 3}, {910, 3}, {911, 4},
        {930, 5},  {940, 5},  {200, 6},  {210, 6},  {400, 7},  {431, 8}, {490, 8}, {540, 12},
        {550, 12}, {560, 12}, {570, 12}, {580, 12}, {590, 12}, {610, 13}};
    return groups;
}

// M codes: 4 program stop, 7 spindle, 8 coolant (M7 and M8 may share a line), 9 override.
const std::map<int, int>& mGroups()
{
    static const std::map<int, int> groups{{0, 4}, {1, 4}, {2, 4}, {30, 4}, {3, 7}, {4, 7},
                                           {5, 7}, {7, 8}, {8, 8}, {9, 8},  {56, 9}};
    return groups;
}

// The value words GRBL 1.1 reads (no A, B, C, D, H, O, Q on a three-axis build).
const std::string ValueLetters = "FIJKLNPRSTXYZ";

} // namespace

std::vector<std::string> grblProblems(std::string_view program)
{
    std::vector<std::string> problems;
    bool feedSet = false;
    int motion = -1; // the modal motion code (times 10), -1 before the first
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < program.size()) {
        ++lineNumber;
        const std::size_t end = program.find("\r\n", start);
        const auto fault = [&](const std::string& what) {
            problems.push_back("line " + std::to_string(lineNumber) + ": " + what);
        };
        if (end == std::string_view::npos) {
            fault("does not end in CR LF");
            break;
        }
        const std::string_view line = program.substr(start, end - start);
        start = end + 2;
        if (line.size() > 80)
            fault("longer than 80 characters");
        std::set<int> groups;
        std::set<char> letters;
        bool axes = false, dwell = false, axisCommand = false;
        std::size_t i = 0;
        while (i < line.size()) {
            const char c = line[i];
            if (c == ' ' || c == '\t') {
                ++i;
                continue;
            }
            if (c == '(') {
                const std::size_t close = line.find(')', i);
                if (close == std::string_view::npos) {
                    fault("a comment is not closed");
                    break;
                }
                if (line.substr(i + 1, close - i - 1).find('(') != std::string_view::npos) {
                    fault("a comment is nested");
                    break;
                }
                i = close + 1;
                continue;
            }
            if (!std::isupper(static_cast<unsigned char>(c))) {
                fault(std::string("unexpected character '") + c + "'");
                break;
            }
            std::size_t j = i + 1;
            if (j < line.size() && (line[j] == '-' || line[j] == '+'))
                ++j;
            const std::size_t digits = j;
            while (j < line.size() &&
                   (std::isdigit(static_cast<unsigned char>(line[j])) || line[j] == '.'))
                ++j;
            const std::string text(line.substr(i + 1, j - i - 1));
            if (j == digits || text.find('.') != text.rfind('.')) {
                fault(std::string("the ") + c + " word has no number");
                break;
            }
            const double value = std::strtod(text.c_str(), nullptr);
            i = j;
            if (c == 'G' || c == 'M') {
                const int code = int(std::lround(value * 10));
                const auto& table = c == 'G' ? gGroups() : mGroups();
                const auto found = table.find(c == 'G' ? code : code / 10);
                if (found == table.end() || (c == 'M' && code % 10 != 0)) {
                    fault(std::string("GRBL 1.1 does not support ") + c + text);
                    continue;
                }
                const int group = (c == 'G' ? 0 : 100) + found->second;
                if (!groups.insert(group).second && !(c == 'M' && found->second == 8))
                    fault(std::string("two words of one modal group (") + c + text + ")");
                if (c == 'G' && found->second == 1)
                    motion = code;
                if (c == 'G' && code == 40)
                    dwell = true;
                if (c == 'G' &&
                    (code == 100 || code == 280 || code == 300 || code == 530 || code == 920))
                    axisCommand = true;
                continue;
            }
            if (ValueLetters.find(c) == std::string::npos) {
                fault(std::string("GRBL 1.1 does not read the word ") + c);
                continue;
            }
            if (!letters.insert(c).second)
                fault(std::string("the word ") + c + " twice");
            if (c == 'F') {
                if (!(value > 0))
                    fault("a feed rate of 0");
                feedSet = true;
            }
            if (c == 'T' && (value < 0 || value > 255 || value != std::floor(value)))
                fault("a tool number GRBL cannot hold");
            if (c == 'S' && value < 0)
                fault("a negative spindle speed");
            if (c == 'X' || c == 'Y' || c == 'Z')
                axes = true;
        }
        if (dwell && letters.count('P') == 0)
            fault("G4 without P");
        if (axes && !axisCommand) {
            if (motion < 0 || motion == 800)
                fault("axis words without a motion mode");
            else if (motion != 0 && !feedSet)
                fault("a feed move before any feed rate");
        }
    }
    return problems;
}

} // namespace corvane::testing
