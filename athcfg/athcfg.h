// athcfg11.dll: adapter enumeration, configuration profiles and driver OID requests.
// Programs allocate these objects themselves and build them with the constructors
// below; the object sizes are part of the library's binary interface.
#pragma once
#include <windows.h>

#ifdef ATHCFG_BUILD
#define ATHCFG_API __declspec(dllexport)
#else
#define ATHCFG_API __declspec(dllimport)
#endif

// The library's string: one pointer to text owned by the library's heap.
class ATHCFG_API ACString {
public:
    ACString();
    ACString(const char* text);
    ACString(const ACString& other);
    ~ACString();
    ACString& operator=(const ACString& other);
    ACString& operator=(const char* text);
    const char* c_str() const;  // never null
    int length() const;
    bool empty() const;

private:
    char* text_;
};

// A growable array of library strings.
class ATHCFG_API ACStringArray {
public:
    ACStringArray();
    ~ACStringArray();
    ACStringArray(const ACStringArray&) = delete;
    ACStringArray& operator=(const ACStringArray&) = delete;
    int GetSize() const;
    void SetSize(int size);  // new slots are empty strings
    const char* GetAt(int index) const;  // "" outside the array
    void SetAt(int index, const char* text);  // ignored outside the array
    void Add(const char* text);
    void RemoveAll();

private:
    ACString* items_;
    int size_;
    int capacity_;
};

// A stored configuration profile (312 bytes). Fields in their record order.
class ATHCFG_API ACProfile {
public:
    ACProfile();
    ~ACProfile();
    ACProfile(const ACProfile&) = delete;
    ACProfile& operator=(const ACProfile&) = delete;

    ACString name;
    ACString ssid;
    ACString defaultUserName;
    int infrastructure;
    int powerSave;
    int privacy;
    int ieee8021x;
    int keyIsHex;
    int defaultKey;
    ACString wepKey1, wepKey2, wepKey3, wepKey4;
    int wepKeyBits1, wepKeyBits2, wepKeyBits3, wepKeyBits4;
    ACString pskPassphrase;
    int pskBits;
    int eapMethod;
    ACString leapUser;
    ACString leapPassword;
    int leapPasswordBits;
    int reservedA;
    ACString leapDomain;
    int reservedB;
    ACString clientCertificate;
    ACString rootCertificate;
    ACString serverDomainName;
    ACString loginName;
    int wpa;
    ACString eapUser;
    ACString eapPassword;
    int eapPasswordBits;
    int savedFlag1, savedFlag2;
    int wirelessMode;
    int channelBand;
    int channelMHz;
    int authMode;

private:
    unsigned char libraryOnly_[152];
};

// The configuration's list of profile records; the list owns what it holds.
class ATHCFG_API ACProfileList {
public:
    ACProfileList();
    ~ACProfileList();
    ACProfileList(const ACProfileList&) = delete;
    ACProfileList& operator=(const ACProfileList&) = delete;
    int GetSize() const;
    ACProfile* GetAt(int index) const;  // null outside the list
    void Add(ACProfile* profile);
    void RemoveAt(int index);  // deletes the record; ignored outside the list
    void RemoveAll();

private:
    ACProfile** items_;
    int size_;
    int capacity_;
};

// Finds the adapters of the chipset's PCI vendor in the network class key (100 bytes).
class ATHCFG_API ACEnumNics {
public:
    ACEnumNics();
    ~ACEnumNics();
    ACEnumNics(const ACEnumNics&) = delete;
    ACEnumNics& operator=(const ACEnumNics&) = delete;
    void GetAllAtherosAdapters();
    int NbrNics() const;

    ACStringArray Nics;        // device names, passed to every OID request
    ACStringArray NicSubKeys;  // configuration sub keys ("0007")

private:
    unsigned char libraryOnly_[100 - 2 * sizeof(ACStringArray)];
};

// Static adapter information (88 bytes); built and destroyed only.
class ATHCFG_API ACStaticNicInfo {
public:
    ACStaticNicInfo();
    ~ACStaticNicInfo();

private:
    unsigned char libraryOnly_[88];
};

// One adapter's configuration: its profiles and the selected one (92 bytes).
class ATHCFG_API ACAdapterConfig {
public:
    ACAdapterConfig();
    ~ACAdapterConfig();
    ACAdapterConfig(const ACAdapterConfig&) = delete;
    ACAdapterConfig& operator=(const ACAdapterConfig&) = delete;

    // Loads the adapter's profiles from its driver key; non-zero on success.
    int ReadConfig(const char* deviceName, const char* subKey);
    // Persists the profile list and the selection; flag 0 is the normal write.
    int WriteConfig(int flag);
    // Path under HKEY_LOCAL_MACHINE of the adapter's driver key for `subKey`.
    ACString GetRegistryPath(const char* subKey) const;
    int NbrProfiles() const;
    void GetProfileArray(ACStringArray& names) const;
    ACProfile* GetCurrentProfile() const;        // null when none
    ACProfile* GetProfile(const char* name) const;  // null when none
    int GetProfileIndex(const char* name) const;    // -1 when none
    // Makes the named profile active in the driver; non-zero on success.
    int SetProfile(const char* name);
    // Hands the record's settings to the driver; non-zero on success.
    int ActivateProfile(ACProfile* profile);

    ACProfileList profiles;
    int selectedIndex;
    ACString selectedName;

private:
    ACString deviceName_;
    ACString subKey_;
    unsigned char libraryOnly_[92 - sizeof(ACProfileList) - sizeof(int) - 3 * sizeof(ACString)];
};

// One string value under a registry key.
class ATHCFG_API ACRegKey {
public:
    ACRegKey();
    ~ACRegKey();
    ACRegKey(const ACRegKey&) = delete;
    ACRegKey& operator=(const ACRegKey&) = delete;
    // Opens (creating when missing) `path` under `root`; non-zero on success.
    int OpenKey(HKEY root, const char* path);
    // Writes `text` as a REG_SZ value; non-zero on success.
    int SetValue(const char* valueName, const char* text);

private:
    HKEY key_;
};

extern "C" {
// Per-thread library start (1) and end (0); non-zero on success.
ATHCFG_API int ThreadInit(int start);
// Driver OID query: `*length` in = buffer size, out = bytes written (also in *written).
ATHCFG_API int AcsGetOid(const char* deviceName, DWORD oid, DWORD* written, void* buffer,
                         DWORD* length);
// Driver OID set; *read = bytes the driver took.
ATHCFG_API int AcsSetOid(const char* deviceName, DWORD oid, DWORD* read, const void* buffer,
                         DWORD length);
// Forgets what the driver cached for a profile.
ATHCFG_API void AcsClearCache(const char* deviceName, const char* profileName);
// Channel number (from 1) of a 2.4 GHz centre frequency in MHz; 0 when off the band.
ATHCFG_API int ACWlanConvert2GHztoCh(int mhz);
// printf-style debug output to the debugger.
ATHCFG_API void DbgPrintf(const char* format, ...);
}
