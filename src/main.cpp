#include "app/AppIdentity.h"
#include "app/CTarnApp.h"
#include "app/HeadlessMode.h"
#include "app/StartupProbe.h"
#include "singlefile/TerminalLaunch.h"
#include "tools/ProcessTree.h"

#include <QApplication>

#include <cstring>

int main(int argc, char** argv)
{
    // Run and Debug: the terminal runs Tarn as the waiter of their program.
    if (argc >= 2 && std::strcmp(argv[1], kWaitOption) == 0)
        return RunAndWaitForEnter(argc - 2, argv + 2);
    // Command-line runs (tarn --functions ...) come first: no window, no display.
    if (std::optional<int> status = RunHeadless(argc, argv))
        return *status;

    // What Tarn's tools and debugged programs leave is Tarn's to end.
    BecomeSubreaper();
    QApplication app(argc, argv);
    setTarnIdentity();

    // The toolkit has taken its own options out of argv; the files keep
    // their bytes (a name that is not UTF-8 opens the file it names).
    const QStringList files = ParseCommandLine(ArgumentsFromArgv(argc, argv)).files;
    int status = 0;
    {
        CTarnApp tarn;
        if (!tarn.InitInstance(files))
            return 1;
        if (qEnvironmentVariableIsSet("TARN_STARTUP_PROBE"))
            ReportStartupAndQuit();
        status = app.exec();
    }
    // The jobs and the debugging have ended with the application object;
    // whatever their processes left running ends with Tarn.
    EndAllDescendants();
    return status;
}
