#include "cli/Listing.h"

#include <cstdlib>

namespace cli {

Listing::Listing() : m_stream(open_memstream(&m_buffer, &m_size)) {
    if (m_stream == nullptr) {
        m_stream = stdout;
    }
}

Listing::~Listing() {
    if (m_stream != stdout) {
        std::fclose(m_stream);
    }
    std::free(m_buffer);
}

void Listing::Emit() {
    if (m_stream == stdout) {
        return;
    }
    std::fflush(m_stream);
    if (!m_discarded && m_size > 0) {
        std::fwrite(m_buffer, 1, m_size, stdout);
    }
}

} // namespace cli
