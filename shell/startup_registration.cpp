#include "shell/startup_registration.h"

#include "base/paths.h"
#include "base/program_path.h"
#include "shell/archive_types_registration.h"
#include "shell/handler_registration.h"
#include "shell/integration_choices.h"
#include "shell/registration_scope.h"
#include "shell/shell_registration.h"

void RefreshShellRegistration(HINSTANCE instance, bool registerCommand) {
    IntegrationChoices choices = LoadIntegrationChoices();
    const std::wstring folder = ProgramFolder();
    const InstallationKind kind = InstallationKindOf(folder);
    if (kind == InstallationKind::Portable) {
        // A portable copy registers once the user asked, and from then on at every start.
        if (registerCommand && !choices.registrationAsked) {
            choices.registrationAsked = true;
            SaveIntegrationChoices(choices);
        }
        if (!choices.registrationAsked) return;
    }

    RegistrationScope scope = ScopeFor(kind);
    // Machine-wide keys this process cannot write: the user's own, and the user is told once.
    const bool perUserOnly = scope == RegistrationScope::Machine && !CanWriteMachineClasses();
    if (perUserOnly) scope = RegistrationScope::User;
    RecordRegisteredPerUserOnly(perUserOnly);

    const std::wstring handler = JoinPath(folder, kHandlerFileName);
    RegisterAssociations(instance, scope, choices.defaultTypes);
    RegisterVerbs(instance, scope, choices.defaultTypes, !HandlerDllPresent(handler));
    RegisterArchiveTypes(instance, scope, choices.defaultTypes);
    RegisterMenuHandler(handler, scope);
}

void RemoveShellRegistration() {
    UnregisterMenuHandler();
    UnregisterAssociations();
    UnregisterVerbs();
    UnregisterArchiveTypes();
}
