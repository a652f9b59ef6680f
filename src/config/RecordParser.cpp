#include "RecordParser.h"

#include <cmath>

#include "common/Text.h"

namespace UpsLink {

namespace {

constexpr std::size_t MaxNumberField = 2;
constexpr int MaxRecordNumber = 99;

}  // namespace

ParseOutcome ParseRecords(std::string_view text, std::vector<int16_t>& numbers, std::vector<std::string>& data,
                          const std::function<void(int)>& onRecordShown)
{
    // Emptied so that no entry of an earlier file can pair with this file's data.
    numbers.clear();
    data.clear();
    ParseOutcome outcome;
    bool& loaded = outcome.Loaded;
    std::string field;
    std::size_t c = 0;
    std::size_t shown = 0;
    bool numberWithoutData = false;
    try {
        for (const char ch : text) {
            if (onRecordShown && c + 1 != shown) {
                shown = c + 1;
                onRecordShown(static_cast<int>(shown));
            }
            if (ch == ',') {
                numbers.resize(c + 1);
                data.resize(c + 1);
                loaded = true;
                if (field.size() > MaxNumberField) {
                    loaded = false;
                    break;
                }
                const double number = RoundedNumber(field);
                if (number < 0 || number > MaxRecordNumber) {
                    loaded = false;
                    break;
                }
                numbers[c] = static_cast<int16_t>(number);
                numberWithoutData = true;
                field.clear();
            } else if (ch == ';') {
                // Data that ends no record: nothing in this file numbers it.
                if (!numberWithoutData) {
                    loaded = false;
                    break;
                }
                data[c] = field;
                ++c;
                numberWithoutData = false;
                field.clear();
            } else if (ch == '\r' || ch == '\n') {
                // Inside a data text it would silently drop the data before it.
                if (numberWithoutData && !field.empty()) {
                    loaded = false;
                    break;
                }
                field.clear();
            } else {
                field += ch;
            }
        }
    } catch (const Fault& fault) {
        outcome.StoppedBy = fault;
        loaded = false;
        return outcome;
    }
    // A record cut off before its ";" would be written with data the file does not hold.
    if (numberWithoutData) loaded = false;
    return outcome;
}

}  // namespace UpsLink
