#include "repair/Handlers.h"

#include "Texts.h"
#include "repair/Locator.h"

namespace repair {

using namespace services;

namespace {

Text ReadEntry(Environment& env) noexcept {
    return env.ReadProfileText(LinkIniPath(env), text::kLinkerSection, text::kLinkerKey);
}

Text ExpectedLinker(ControlServices& ui) noexcept {
    return ConcatText(ui.ReadEditContent(EditBox::InstallDir), text::kLinkerTail);
}

bool Shows(ControlServices& ui, EditBox box) noexcept { return TextLength(ui.ReadEditContent(box)) > 0; }

}  // namespace

const char* GatherOutcome(bool currentShown, bool configPathShown, bool installFound) noexcept {
    return currentShown && configPathShown && installFound ? text::kGatherSucceeded : text::kGatherFailed;
}

const char* RepairOutcome(bool readBackMatches) noexcept {
    return readBackMatches ? text::kRepairSucceeded : text::kRepairFailed;
}

void OnGatherInfoClicked(ControlServices& ui, Environment& env) noexcept {
    const Text root = InstallRoot(env);
    const Text linkIni = ConcatText(root, text::kLinkIniTail);
    const Text entry = env.ReadProfileText(linkIni, text::kLinkerSection, text::kLinkerKey);
    ui.WriteEditContent(EditBox::Current, ConcatText(text::kEntryPrefix, entry));
    ui.WriteEditContent(EditBox::ConfigPath, LinkIniPath(env));
    ui.WriteEditContent(EditBox::InstallDir, InstallRoot(env));
    // The boxes always read back non-empty ("linker=", "tools\link.ini"), so they alone would
    // report success without an installation: that needs a root and a file where it points.
    const bool currentShown = Shows(ui, EditBox::Current);
    const bool configPathShown = currentShown && Shows(ui, EditBox::ConfigPath);
    const bool installFound = TextLength(root) > 0 && env.FileExists(linkIni);
    ui.SetStatusPanelText(0, GatherOutcome(currentShown, configPathShown, installFound));
}

void OnRepairClicked(ControlServices& ui, Environment& env) noexcept {
    const Text current = ReadEntry(env);
    const Text expected = ExpectedLinker(ui);
    if (CompareText(current, expected) == 0) {
        ui.SetStatusPanelText(0, text::kAlreadyCorrect);
        ui.WriteEditContent(EditBox::Repaired, ConcatText(text::kEntryPrefix, ReadEntry(env)));
        return;
    }
    // The write goes to the file the first box names; the reads stay with the registry's.
    const Text value = ExpectedLinker(ui);
    const Text target = ui.ReadEditContent(EditBox::ConfigPath);
    env.WriteProfileText(target, text::kLinkerSection, text::kLinkerKey, value);
    ui.WriteEditContent(EditBox::Repaired, ReadEntry(env));
    const Text readBack = ReadEntry(env);
    const Text expectedNow = ExpectedLinker(ui);
    ui.SetStatusPanelText(0, RepairOutcome(CompareText(readBack, expectedNow) == 0));
}

}  // namespace repair
