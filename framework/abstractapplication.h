#pragma once

#include "framework/abstractservice.h"

#include <string>

namespace Component::Interfaces {

// A service that holds the other services and drives their life cycle.
class AbstractApplication : public AbstractService
{
public:
    static constexpr int MaxServices = 13;
    using ServiceList = Utilities::Container::StaticVector<AbstractService*, MaxServices>;

    AbstractApplication(
        ServiceID id, const std::string& name, unsigned int version, const std::string& revision);
    ~AbstractApplication() override = default;

    [[nodiscard]] std::string getName() const { return m_name; }
    [[nodiscard]] unsigned int getVersion() const { return m_version; }
    [[nodiscard]] const std::string& getRevision() const { return m_revision; }
    [[nodiscard]] const ServiceList& getServices() const { return m_services; }

    // Appends unless present or full; the parent is set in every case.
    void addService(AbstractService& service);
    [[nodiscard]] AbstractService* getService(ServiceID id) const;

    int initialize() { return performInitialize(); }

protected:
    void performStartup() override;
    void performShutdown() override;
    void performRun() override;
    virtual int performInitialize() = 0;

private:
    std::string m_name;
    unsigned int m_version;
    ServiceList m_services;
    std::string m_revision;
};

} // namespace Component::Interfaces
