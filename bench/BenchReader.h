#pragma once
// A result-file reader on the real file services, with everything it reads
// into: what each reading benchmark starts from.

#include "clientfiles/Scanner.h"
#include "platform/Platform.h"
#include "signals/ResultFile.h"
#include "support/ScriptedDialogs.h"

namespace bench {

struct Reader {
    platform::NativePlatform native;
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    signals::SignalLists lists;
    signals::ShownMarkers shown;
    signals::ResultFileReader reader{native.services().files, gate, dialogs, lists, shown};
};

}  // namespace bench
