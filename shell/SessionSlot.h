#pragma once

#include "archive/Session.h"

#include <cstddef>
#include <memory>

namespace velomar::shell {

// Owns the program's database slots for the life of the process. While the record set
// implementation is not part of the build, the slots are bare storage that no code
// reaches (no window that opens an archive exists then either).
class SessionSlot {
public:
#ifdef VELOMAR_HAVE_RECORDSET
    archive::Session& get() { return m_session; }

private:
    archive::Session m_session;
#else
    archive::Session& get() { return *reinterpret_cast<archive::Session*>(m_storage); }

private:
    alignas(archive::Session) std::byte m_storage[sizeof(archive::Session)]{};
#endif
};

} // namespace velomar::shell
