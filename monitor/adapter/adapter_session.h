// The adapter session: the program's one connection to the adapter through the
// configuration library, its data, and the small status queries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/adapter/status_record.h"

class ACAdapterConfig;
class ACEnumNics;
class ACStaticNicInfo;

constexpr int kAdapterSlots = 5;
constexpr size_t kScanBufferSize = 30000;

// What the session asks of the program that holds it.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    // Discovery found an adapter (1) or none (0).
    virtual void SetAdapterPresent(int present) = 0;
    // The configuration just opened holds no profile: add the default one to it.
    virtual void CreateDefaultProfile() = 0;
    // The configurations go away: nothing may keep pointing at their profile records.
    virtual void SessionClosing() = 0;
};

class AdapterSession {
public:
    explicit AdapterSession(SessionHost& host);
    AdapterSession(const AdapterSession&) = delete;
    AdapterSession& operator=(const AdapterSession&) = delete;

    // 1 = adapter found and session open, 0 = none.
    int Discover();
    void CloseSession();
    std::string CurrentProfileName() const;
    std::string CurrentProfileUserName() const;
    int32_t LinkQuality() const;
    int32_t RadioState() const;
    int32_t AuthenticationMode() const;
    // Makes the named profile active, waits for the driver and sends `txRate`, the
    // profile's stored transmit rate.
    int ApplyCurrentProfile(const std::string& name, int32_t txRate);
    // 0-based channel of the connection `status` describes.
    static int ChannelIndex(const StatusRecord& status);
    // Reads the status record into `record`; false when the driver fails or returns
    // nothing (the record then keeps its previous contents).
    bool ReadStatusRecord(uint8_t (&record)[kStatusRecordSize]) const;
    int AdapterCount() const;
    // Switches the driver's radio, 1 = off, 0 = on, and keeps the choice in the driver key
    // (radio.cpp).
    void SwitchRadio(int value);
    // Reads the main configuration's profile names again.
    void RefreshProfileNames();
    // Asks the driver to scan for networks; the lists fill over the next seconds. What the
    // driver answers is not looked at.
    void StartScan();
    // Reads the network list and the vendor network records into scanList and
    // vendorScanList, each zeroed first; the buffers' contents decide, not the answers.
    void ReadNetworkLists();
    // 54 when the model-54 product key exists, else 108.
    static int ModelNumber();

    uint8_t scanList[kScanBufferSize] = {};
    uint8_t vendorScanList[kScanBufferSize] = {};
    std::string deviceName;
    std::string subKey;
    std::vector<std::string> adapterNames;
    std::vector<std::string> adapterSubKeys;
    std::vector<std::string> profileNames;

    ACEnumNics* enumerator = nullptr;
    ACStaticNicInfo* staticInfo = nullptr;
    ACAdapterConfig* mainConfig = nullptr;
    ACAdapterConfig* reloadConfig = nullptr;
    std::string interfaceGuid;
    // The adapter's MAC address as the driver gives it (6 bytes), empty when it does not.
    std::string macAddress;
    // Counts the profiles this program has handed to the driver.
    uint32_t activations = 0;

private:
    SessionHost& host_;
};
