// The digest comes from nettle: a packaged, audited implementation with the processor's SHA
// instructions where it has them.
#include "files/Sha256.h"

#include <nettle/sha2.h>

static_assert(SHA256_DIGEST_SIZE == std::tuple_size<Digest>::value, "one digest size");

struct CSha256::Context {
    sha256_ctx ctx;
};

CSha256::CSha256() : m_context(std::make_unique<Context>()) {
    sha256_init(&m_context->ctx);
}

CSha256::~CSha256() = default;

void CSha256::Update(const uint8_t* data, size_t size) {
    if (size != 0) {
        sha256_update(&m_context->ctx, size, data);
    }
}

Digest CSha256::Finish() {
    Digest digest{};
    sha256_digest(&m_context->ctx, digest.size(), digest.data());
    return digest;
}

Digest CSha256::Of(const uint8_t* data, size_t size) {
    CSha256 hash;
    hash.Update(data, size);
    return hash.Finish();
}
