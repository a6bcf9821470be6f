// Fuzzes the design file reader and Open Design: any file is either refused with a message,
// leaving the record as it was, or opened into a record whose settings pass the dialogs' rules
// and whose text, written again, reads back to the same values.
// Seeds: fuzz/corpus/design_file (deep_nesting.vantrel: a list nested past the reader's limit).
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "app/DesignFileCommands.h"
#include "app/OlvexDoc.h"
#include "files/DesignFile.h"

// Inputs up to the design reader's cap (1 MiB): deep nesting and long lists need the room.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    DefaultMaxLen(argc, argv, files::kMaxDesignFileBytes);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFile file(data, size);
    if (!file.Ok()) {
        return 0;
    }
    static COlvexDoc doc;
    commands::NewDesign(doc);
    const files::DesignState before = commands::TakeDesignState(doc, {});
    const commands::OpenDesignOutcome outcome = commands::OpenDesign(doc, file.Path());
    if (!outcome.Is(commands::OutcomeKind::kAccepted)) {
        if (outcome.message.empty() || !(commands::TakeDesignState(doc, {}) == before)) {
            std::abort();
        }
        return 0;
    }
    const files::DesignState opened = commands::TakeDesignState(doc, outcome.form);
    if (!commands::CheckDesignState(opened).empty()) {
        std::abort();
    }
    const files::DesignRead again = files::ReadDesignText(files::WriteDesignText(opened));
    if (!again.ok || !(again.state == opened)) {
        std::abort();
    }
    return 0;
}
