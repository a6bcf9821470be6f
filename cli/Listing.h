// What a vantrel-cli run prints on standard output, held back until every file of the run has
// been written: the printers write into the listing's stream, and the run prints the listing
// last, only when no write failed. A failed --export or --save-coeffs thus leaves standard
// output empty instead of followed by an error.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace cli {

class Listing {
public:
    Listing();
    ~Listing();
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    // The stream the printers write to (standard output itself when no memory stream could be
    // made: the text then goes out at once).
    std::FILE* Stream() const { return m_stream; }
    // Copies what was written to standard output, unless it was discarded.
    void Emit();
    // Forgets what was written: Emit prints nothing.
    void Discard() { m_discarded = true; }

private:
    bool m_discarded = false;
    char* m_buffer = nullptr;
    size_t m_size = 0;
    std::FILE* m_stream = nullptr;
};

} // namespace cli
