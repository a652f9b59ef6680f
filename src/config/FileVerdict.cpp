#include "FileVerdict.h"

#include "ConfigTitle.h"
#include "FileImage.h"
#include "Globals.h"
#include "RecordParser.h"
#include "Scrambling.h"
#include "common/Fault.h"

namespace UpsLink {

FileVerdict JudgeConfigFile(std::istream& file, std::string_view title, std::optional<int> upsType,
                            std::vector<uint8_t>& image, std::vector<int16_t>& numbers, std::vector<std::string>& data,
                            const VerdictSteps& steps)
{
    FileVerdict verdict;
    const auto refuse = [&verdict](std::string text, bool inBox) { verdict.Shown.push_back({std::move(text), inBox}); };
    // A file that never reached the parser ends as a corrupted one too.
    const auto corrupted = [&] { refuse("File Corrupted", false); };

    if (upsType && !TitleMatchesType(title, *upsType)) {
        refuse("File does not match UPS type", false);
        corrupted();
        return verdict;
    }
    try {
        if (!ReadImage(file, image)) {
            refuse("File size exceeds 32k limit", false);
            corrupted();
            return verdict;
        }
    } catch (const Fault& fault) {
        refuse(FaultText(fault), true);
        corrupted();
        return verdict;
    }
    if (steps.BeforeParse) steps.BeforeParse();
    const ParseOutcome outcome = ParseRecords(Descramble(image, FileKey), numbers, data, steps.OnRecordShown);
    if (outcome.StoppedBy)
        refuse(FaultLine(*outcome.StoppedBy, Mark::RecordParser), true);
    else if (!outcome.Loaded)
        corrupted();
    verdict.Taken = verdict.Shown.empty();
    return verdict;
}

}  // namespace UpsLink
