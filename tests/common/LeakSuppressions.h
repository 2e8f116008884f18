#pragma once

// Included by the test mains, for the sanitizer build's leak checker. Qt's TLS back end frees
// OpenSSL's objects on threads of its own after the network manager has gone, so a program that
// ends right after a connection may leave some behind: leaks inside the TLS library are passed
// over, every other leak still fails the test.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libcrypto.so\n";
}
