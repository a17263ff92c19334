#include "monitor/app/commands/transfer_command.h"

#include <windows.h>

#include "framework/text/text.h"
#include "monitor/profiles/profile_store.h"
#include "monitor/res/resource.h"

namespace transfer_command {

namespace {

using app_command::Result;
using Transfer = ProfileStore::Transfer;

std::string Said(UINT textId, const std::string& first, const std::string& second = std::string()) {
    return fw::Format(fw::LoadText(textId).c_str(), first.c_str(), second.c_str());
}

Result Export(ProfileStore& store, const app_command::Command& command, std::string& reply) {
    ProfileStore::TransferOutcome done = store.ExportProfiles(command.password);
    switch (done.result) {
    case Transfer::Done: reply = done.text; return app_command::kDone;
    case Transfer::NoAdapter: reply = Said(IDS_TRANSFER_NO_ADAPTER, ""); return app_command::kNoAdapter;
    default: reply = Said(IDS_EXPORT_BAD_VALUE, command.file, done.names); return app_command::kBadFile;
    }
}

Result Import(ProfileStore& store, const app_command::Command& command, const std::string& fileText,
              std::string& reply) {
    ProfileStore::TransferOutcome done = store.ImportProfiles(fileText, command.password, command.replace);
    const std::string& file = command.file;
    switch (done.result) {
    case Transfer::Done: return app_command::kDone;
    case Transfer::KeysNeeded: reply = Said(IDS_IMPORT_KEYS_NEEDED, done.names); return app_command::kKeysNeeded;
    case Transfer::NoAdapter: reply = Said(IDS_TRANSFER_NO_ADAPTER, ""); return app_command::kNoAdapter;
    case Transfer::BadFile:
        reply = fw::Format(fw::LoadText(IDS_IMPORT_BAD_LINE).c_str(), file.c_str(), unsigned(done.line));
        return app_command::kBadFile;
    case Transfer::NameTwice: reply = Said(IDS_IMPORT_NAME_TWICE, file, done.names); return app_command::kBadFile;
    case Transfer::ValueTooLong:
        reply = Said(IDS_IMPORT_PASSPHRASE_TOO_LONG, file, done.names);
        return app_command::kBadFile;
    case Transfer::Exists: reply = Said(IDS_IMPORT_EXISTS, file, done.names); return app_command::kExists;
    case Transfer::WrongPassword: reply = Said(IDS_IMPORT_WRONG_PASSWORD, file); return app_command::kWrongPassword;
    case Transfer::Changed: reply = Said(IDS_IMPORT_CHANGED, file); return app_command::kChanged;
    case Transfer::NotStored: reply = Said(IDS_IMPORT_NOT_STORED, file); return app_command::kRefused;
    case Transfer::NotRestored: reply = Said(IDS_IMPORT_NOT_RESTORED, file); return app_command::kRefused;
    }
    return app_command::kRefused;
}

}  // namespace

Result Run(ProfileStore& store, const app_command::Command& command, const std::string& fileText,
           std::string& reply) {
    reply.clear();
    return command.kind == app_command::Kind::Export ? Export(store, command, reply)
                                                     : Import(store, command, fileText, reply);
}

}  // namespace transfer_command
