// The profile record, the profile list and their storage in the registry.
#include <cstring>

#include "athcfg/athcfg.h"
#include "athcfg/profile_store.h"
#include "athcfg/registry.h"
#include "athcfg/model/scenario.h"

static_assert(sizeof(void*) != 4 || sizeof(ACProfile) == 312, "ACProfile is 312 bytes");
static_assert(sizeof(void*) != 4 || sizeof(ACEnumNics) == 100, "ACEnumNics is 100 bytes");
static_assert(sizeof(void*) != 4 || sizeof(ACStaticNicInfo) == 88, "ACStaticNicInfo is 88 bytes");
static_assert(sizeof(void*) != 4 || sizeof(ACAdapterConfig) == 92, "ACAdapterConfig is 92 bytes");
static_assert(sizeof(void*) != 4 || sizeof(ACString) == 4, "ACString is one pointer");

namespace {

struct TextField {
    const char* name;
    ACString ACProfile::*member;
};
struct IntField {
    const char* name;
    int ACProfile::*member;
};

const TextField kTextFields[] = {
    {"name", &ACProfile::name},
    {"ssid", &ACProfile::ssid},
    {"defaultUserName", &ACProfile::defaultUserName},
    {"wepKey1", &ACProfile::wepKey1},
    {"wepKey2", &ACProfile::wepKey2},
    {"wepKey3", &ACProfile::wepKey3},
    {"wepKey4", &ACProfile::wepKey4},
    {"pskPassphrase", &ACProfile::pskPassphrase},
    {"leapUser", &ACProfile::leapUser},
    {"leapPassword", &ACProfile::leapPassword},
    {"leapDomain", &ACProfile::leapDomain},
    {"clientCertificate", &ACProfile::clientCertificate},
    {"rootCertificate", &ACProfile::rootCertificate},
    {"serverDomainName", &ACProfile::serverDomainName},
    {"loginName", &ACProfile::loginName},
    {"eapUser", &ACProfile::eapUser},
    {"eapPassword", &ACProfile::eapPassword},
};

const IntField kIntFields[] = {
    {"infrastructure", &ACProfile::infrastructure},
    {"powerSave", &ACProfile::powerSave},
    {"privacy", &ACProfile::privacy},
    {"ieee8021x", &ACProfile::ieee8021x},
    {"keyIsHex", &ACProfile::keyIsHex},
    {"defaultKey", &ACProfile::defaultKey},
    {"wepKeyBits1", &ACProfile::wepKeyBits1},
    {"wepKeyBits2", &ACProfile::wepKeyBits2},
    {"wepKeyBits3", &ACProfile::wepKeyBits3},
    {"wepKeyBits4", &ACProfile::wepKeyBits4},
    {"pskBits", &ACProfile::pskBits},
    {"eapMethod", &ACProfile::eapMethod},
    {"leapPasswordBits", &ACProfile::leapPasswordBits},
    {"reservedA", &ACProfile::reservedA},
    {"reservedB", &ACProfile::reservedB},
    {"wpa", &ACProfile::wpa},
    {"eapPasswordBits", &ACProfile::eapPasswordBits},
    {"savedFlag1", &ACProfile::savedFlag1},
    {"savedFlag2", &ACProfile::savedFlag2},
    {"wirelessMode", &ACProfile::wirelessMode},
    {"channelBand", &ACProfile::channelBand},
    {"channelMHz", &ACProfile::channelMHz},
    {"authMode", &ACProfile::authMode},
};

std::string WindowsUserName() {
    char name[257] = {};
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) return std::string();
    name[sizeof name - 1] = 0;
    return name;
}

}  // namespace

ACProfile::ACProfile()
    : infrastructure(0), powerSave(0), privacy(0), ieee8021x(0), keyIsHex(0), defaultKey(0), wepKeyBits1(0),
      wepKeyBits2(0), wepKeyBits3(0), wepKeyBits4(0), pskBits(0), eapMethod(0), leapPasswordBits(0), reservedA(0),
      reservedB(0), wpa(0), eapPasswordBits(0), savedFlag1(0), savedFlag2(0), wirelessMode(0), channelBand(0),
      channelMHz(0), authMode(0) {
    std::memset(libraryOnly_, 0, sizeof libraryOnly_);
    defaultUserName = WindowsUserName().c_str();
}

ACProfile::~ACProfile() = default;

ACProfileList::ACProfileList() : items_(nullptr), size_(0), capacity_(0) {}
ACProfileList::~ACProfileList() {
    RemoveAll();
    delete[] items_;
}

int ACProfileList::GetSize() const { return size_; }

ACProfile* ACProfileList::GetAt(int index) const { return index >= 0 && index < size_ ? items_[index] : nullptr; }

void ACProfileList::Add(ACProfile* profile) {
    if (!profile) return;
    if (size_ == capacity_) {
        const int capacity = capacity_ ? 2 * capacity_ : 8;
        ACProfile** grown = new ACProfile*[capacity];
        for (int i = 0; i < size_; ++i) grown[i] = items_[i];
        delete[] items_;
        items_ = grown;
        capacity_ = capacity;
    }
    items_[size_++] = profile;
}

void ACProfileList::RemoveAt(int index) {
    if (index < 0 || index >= size_) return;
    delete items_[index];
    for (int i = index; i + 1 < size_; ++i) items_[i] = items_[i + 1];
    --size_;
}

void ACProfileList::RemoveAll() {
    for (int i = 0; i < size_; ++i) delete items_[i];
    size_ = 0;
}

namespace athcfg {

bool SetProfileField(ACProfile& p, const std::string& field, const std::string& value, std::string& error) {
    for (const TextField& f : kTextFields) {
        if (field == f.name) {
            p.*f.member = value.c_str();
            return true;
        }
    }
    for (const IntField& f : kIntFields) {
        if (field == f.name) {
            int64_t v;
            if (!athsim::ParseNumber(value, v) || v < -2147483648LL || v > 2147483647LL) {
                error = "bad number '" + value + "' for profile field " + field;
                return false;
            }
            p.*f.member = static_cast<int>(v);
            return true;
        }
    }
    error = "unknown profile field '" + field + "'";
    return false;
}

namespace {
int g_failingWrites = 0;
}  // namespace

void FailNextWrites(int count) { g_failingWrites = count; }

bool WriteProfiles(const std::string& driverKey, const ACProfileList& list, const std::string& selected) {
    if (!KeyExists(HKEY_LOCAL_MACHINE, driverKey)) return false;
    const bool fails = g_failingWrites > 0;
    if (fails) --g_failingWrites;
    const std::string root = driverKey + "\\Profiles";
    if (!DeleteTree(HKEY_LOCAL_MACHINE, root)) return false;
    fw::RegKey top;
    if (!top.Create(HKEY_LOCAL_MACHINE, root) || !top.WriteString("Selected", selected)) return false;
    for (int i = 0; i < list.GetSize() && i < kMaxStoredProfiles; ++i) {
        if (fails && i == 1) return false;
        const ACProfile& p = *list.GetAt(i);
        char number[8];
        wsprintfA(number, "%03d", i);
        fw::RegKey k;
        if (!k.Create(HKEY_LOCAL_MACHINE, root + "\\" + number)) return false;
        for (const TextField& f : kTextFields)
            if (!k.WriteString(f.name, (p.*f.member).c_str())) return false;
        for (const IntField& f : kIntFields)
            if (!k.WriteDword(f.name, static_cast<DWORD>(p.*f.member))) return false;
    }
    return !fails;
}

bool ReadProfiles(const std::string& driverKey, ACProfileList& list, std::string& selected) {
    list.RemoveAll();
    selected.clear();
    if (!KeyExists(HKEY_LOCAL_MACHINE, driverKey)) return false;
    const std::string root = driverKey + "\\Profiles";
    fw::RegKey top;
    if (!top.Open(HKEY_LOCAL_MACHINE, root)) return true;  // no profiles stored yet
    selected = top.ReadString("Selected").value_or("");
    for (int i = 0; i < kMaxStoredProfiles; ++i) {
        char number[8];
        wsprintfA(number, "%03d", i);
        fw::RegKey k;
        if (!k.Open(HKEY_LOCAL_MACHINE, root + "\\" + number)) break;
        ACProfile* p = new ACProfile;
        for (const TextField& f : kTextFields) {
            if (auto text = k.ReadString(f.name)) p->*f.member = text->c_str();
        }
        for (const IntField& f : kIntFields) {
            if (auto value = k.ReadDword(f.name)) p->*f.member = static_cast<int>(*value);
        }
        list.Add(p);
    }
    return true;
}

athsim::ActiveSettings SettingsOf(const ACProfile& p) {
    const std::string keys[4] = {p.wepKey1.c_str(), p.wepKey2.c_str(), p.wepKey3.c_str(), p.wepKey4.c_str()};
    return athsim::MakeSettings(p.name.c_str(), p.ssid.c_str(), p.infrastructure, p.privacy, p.wpa, p.eapMethod,
                                p.defaultKey, keys, p.pskPassphrase.c_str(), p.authMode);
}

}  // namespace athcfg
