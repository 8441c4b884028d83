// SPDX-License-Identifier: GPL-3.0-or-later
#include "validaterun.h"

#include "automation/workbook.h"
#include "cli/commanddata.h"
#include "cli/exitstatus.h"
#include "cli/settingoverrides.h"
#include "cli/validateoutput.h"
#include "cli/validationreportfile.h"
#include "text/numberformat.h"
#include "validation/protocolbuild.h"

namespace cli {

int runValidate(const ValidateOptions& options, std::ostream& out, std::ostream& err,
                const validation::ProgramComputations& program)
{
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();
    std::optional<CommandData> loadedData = loadCommandData(options.dataDir, options.population, *reader, format, err);
    if (!loadedData)
        return kExitFailure;
    const freqdb::DataFolder& data = loadedData->data;
    freqdb::LoadResult& loaded = loadedData->loaded;
    freqdb::LocusTable& table = loaded.table;
    // θ beside the mutation model (the file's and the command line's together) is refused as batch refuses it.
    if (const auto conflict = applySettingOverrides(table, options.mutation, options.minFrequency, options.theta,
                                                    format.decimalSeparator())) {
        err << *conflict << '\n';
        return kExitUsage;
    }

    validation::ProtocolRequest request;
    request.data = &data;
    request.population = options.population;
    request.table = &table;
    request.cases = options.cases;
    request.seed = options.seed ? *options.seed : validation::newSeed();
    request.settingOptions = {options.mutation, options.minFrequency, options.theta};
    if (options.progress)
        request.progress
            = [&err](std::size_t done, std::size_t total) { err << '\r' << done << '/' << total << std::flush; };
    const validation::ValidationProtocol protocol = validation::buildProtocol(request, *reader, format, program);
    if (options.progress)
        err << '\n';

    if (options.format == OutputFormat::Json)
        writeValidationJson(protocol, out);
    else
        writeValidationText(protocol, out);
    out.flush();

    int status = protocol.passed() ? kExitOk : kExitFailure;
    if (!protocol.passed())
        err << validation::verdictText(protocol) << '\n';
    if (options.report) {
        const std::string failure = writeValidationReportFile(*options.report, protocol);
        if (!failure.empty()) {
            err << failure << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

} // namespace cli
