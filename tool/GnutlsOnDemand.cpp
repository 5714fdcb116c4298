// qpdf does its cryptography through gnutls, and loading gnutls with its eight libraries
// costs more than reading a small PDF: with the tool started once per file, that start-up
// was about 40% of its time. When qpdf is linked statically, these definitions stand in for
// the gnutls functions qpdf calls and load the library on first use, so only an encrypted
// file pays for it. The prototypes come from gnutls's own headers, so the compiler checks
// that each matches. The tool exports none of them, so gnutls's internal calls never reach
// them.

#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

#include <dlfcn.h>

namespace {

void* gnutlsLibrary() {
    static void* const library = ::dlopen("libgnutls.so.30", RTLD_NOW | RTLD_LOCAL);
    return library;
}

// The library's own definition of the function named, or nullptr when gnutls cannot be
// loaded.
template <typename Function> Function* realFunction(const char* name) {
    void* const library = gnutlsLibrary();
    return library ? reinterpret_cast<Function*>(::dlsym(library, name)) : nullptr;
}

} // namespace

extern "C" {

int gnutls_cipher_init(gnutls_cipher_hd_t* handle, gnutls_cipher_algorithm_t cipher,
                       const gnutls_datum_t* key, const gnutls_datum_t* iv) {
    static auto* const real = realFunction<decltype(gnutls_cipher_init)>("gnutls_cipher_init");
    return real ? real(handle, cipher, key, iv) : GNUTLS_E_CRYPTO_INIT_FAILED;
}

int gnutls_cipher_encrypt2(gnutls_cipher_hd_t handle, const void* text, size_t textlen,
                           void* ciphertext, size_t ciphertextlen) {
    static auto* const real =
        realFunction<decltype(gnutls_cipher_encrypt2)>("gnutls_cipher_encrypt2");
    return real ? real(handle, text, textlen, ciphertext, ciphertextlen)
                : GNUTLS_E_CRYPTO_INIT_FAILED;
}

int gnutls_cipher_decrypt2(gnutls_cipher_hd_t handle, const void* ciphertext, size_t ciphertextlen,
                           void* text, size_t textlen) {
    static auto* const real =
        realFunction<decltype(gnutls_cipher_decrypt2)>("gnutls_cipher_decrypt2");
    return real ? real(handle, ciphertext, ciphertextlen, text, textlen)
                : GNUTLS_E_CRYPTO_INIT_FAILED;
}

void gnutls_cipher_deinit(gnutls_cipher_hd_t handle) {
    static auto* const real = realFunction<decltype(gnutls_cipher_deinit)>("gnutls_cipher_deinit");
    if (real) {
        real(handle);
    }
}

size_t gnutls_cipher_get_key_size(gnutls_cipher_algorithm_t algorithm) {
    static auto* const real =
        realFunction<decltype(gnutls_cipher_get_key_size)>("gnutls_cipher_get_key_size");
    return real ? real(algorithm) : 0;
}

int gnutls_hash_init(gnutls_hash_hd_t* dig, gnutls_digest_algorithm_t algorithm) {
    static auto* const real = realFunction<decltype(gnutls_hash_init)>("gnutls_hash_init");
    return real ? real(dig, algorithm) : GNUTLS_E_CRYPTO_INIT_FAILED;
}

int gnutls_hash(gnutls_hash_hd_t handle, const void* text, size_t textlen) {
    static auto* const real = realFunction<decltype(gnutls_hash)>("gnutls_hash");
    return real ? real(handle, text, textlen) : GNUTLS_E_CRYPTO_INIT_FAILED;
}

void gnutls_hash_deinit(gnutls_hash_hd_t handle, void* digest) {
    static auto* const real = realFunction<decltype(gnutls_hash_deinit)>("gnutls_hash_deinit");
    if (real) {
        real(handle, digest);
    }
}

int gnutls_rnd(gnutls_rnd_level_t level, void* data, size_t len) {
    static auto* const real = realFunction<decltype(gnutls_rnd)>("gnutls_rnd");
    return real ? real(level, data, len) : GNUTLS_E_CRYPTO_INIT_FAILED;
}

const char* gnutls_strerror(int error) {
    static auto* const real = realFunction<decltype(gnutls_strerror)>("gnutls_strerror");
    return real ? real(error) : "the gnutls library (libgnutls.so.30) cannot be loaded";
}

} // extern "C"
