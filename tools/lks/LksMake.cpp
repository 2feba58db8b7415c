// lks make: a new site file around a floor-plan image, written safely (never half a file) and
// never over an existing site unless asked to.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "LksArgs.h"
#include "OutputFiles.h"
#include "PlanImage.h"
#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/SiteFileMaker.h"
#include "files/SitePicture.h"

namespace lks {

namespace {

const char* const kMakeUsage =
    "usage: lks make PLAN -o SITE [--force]\n"
    "\n"
    "Makes a new site file from a floor-plan image (PNG, JPEG or BMP): the header, the plan as\n"
    "an 8-bit, 256-colour bitmap, a blank signature area and survey data without points.\n"
    "A plan of at most 256 colours is kept exactly; a larger one gets the 256 colours that\n"
    "best keep it, without dithering. Transparent parts of the plan become white. An existing\n"
    "SITE is replaced only with --force, and never when it is the plan itself.\n";

} // namespace

int RunMake(int argc, char** argv) {
    std::string plan;
    std::string output;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsHelp(arg)) {
            std::fputs(kMakeUsage, stdout);
            return kExitOk;
        }
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc) {
                return BadInput("make: " + arg + " needs a file name");
            }
            output = argv[++i];
        } else if (arg == "--force") {
            force = true;
        } else if (!plan.empty() || (arg.size() > 1 && arg[0] == '-')) {
            return BadInput("make: unexpected argument '" + arg + "' (try 'lks make --help')");
        } else {
            plan = arg;
        }
    }
    if (plan.empty() || output.empty()) {
        return BadInput("make: needs a plan image and -o SITE (try 'lks make --help')");
    }
    std::string error;
    if (!CheckOutputs({plan}, {{"-o", output, {}}}, error)) {
        return BadInput("make: " + error);
    }
    struct stat st {};
    if (!force && ::stat(output.c_str(), &st) == 0) {
        return BadInput("make: " + output + " already exists (use --force to replace it)");
    }

    // Qt finds its image format plugins through the application object.
    int qtArgc = 1;
    char name[] = "lks";
    char* qtArgv[] = {name, nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    SitePicture picture;
    if (!LoadPlanPicture(plan, picture, error)) {
        return BadInput("make: " + error);
    }
    std::vector<uint8_t> file;
    if (!CSiteFileMaker::Make(picture, file)) {
        return BadInput("make: the plan is too large for a site file");
    }
    CAtomicFile out;
    if (!out.Begin(output) || !out.Write(file.data(), file.size()) || !out.Commit()) {
        std::fprintf(stderr, "lks: make: cannot write %s: %s\n", output.c_str(),
                     SystemErrorText(out.Error()).c_str());
        return kExitFailed;
    }
    std::printf("%s: %d x %d, %zu bytes\n", output.c_str(), picture.width, picture.height,
                file.size());
    return kExitOk;
}

} // namespace lks
