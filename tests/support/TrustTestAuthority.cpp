// Makes the Wine prefix it runs in trust the throw-away authority of the TLS
// tests (tools/make-test-certificates.sh): adds the certificate to the
// machine's root store, after taking out any authority of the same name an
// earlier run left there, so that the store holds only the current one. No
// other store is touched; the tests' wrapper runs it in the test prefix only.
// Usage: trust_test_authority <authority.der>
#include "tests/support/TestFiles.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <string>

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "trust_test_authority: %s failed (error %lu)\n", what, GetLastError());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_test_authority <authority.der>\n");
        return 2;
    }
    const std::string der = qx::test::ReadWholeFile(qx::test::WindowsPath(argv[1]));
    const auto* bytes = reinterpret_cast<const BYTE*>(der.data());
    PCCERT_CONTEXT authority = CertCreateCertificateContext(X509_ASN_ENCODING, bytes, static_cast<DWORD>(der.size()));
    if (authority == nullptr) {
        return Fail("reading the authority");
    }
    // The registry store of the machine's roots itself rather than the system
    // store that joins it with the others: under Wine 8 a deletion through the
    // system store does not last, and an addition after one can be lost.
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
    if (root == nullptr) {
        CertFreeCertificateContext(authority);
        return Fail("opening the machine's root store");
    }
    // Each find starts afresh, since a deletion frees the context it was given.
    while (PCCERT_CONTEXT earlier = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME,
                                                                &authority->pCertInfo->Subject, nullptr)) {
        CertDeleteCertificateFromStore(earlier);
    }
    const bool added = CertAddCertificateContextToStore(root, authority, CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    const int result = added ? 0 : Fail("adding the authority");
    CertCloseStore(root, 0);
    CertFreeCertificateContext(authority);
    return result;
}
