#pragma once

// Included by the test mains only: the leak checker of the sanitizer build asks every test
// program for these.
//
// A program that ends right after a TLS connection now and then leaves some ten kilobytes of
// OpenSSL's certificate objects to the leak checker (under load, one run in five). They belong
// to Qt's TLS back end, which tears its connection state down on threads of its own after the
// network manager has gone; nothing of ours holds or frees them. Leaks inside the TLS library
// are passed over; every other leak still fails the test.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libcrypto.so\n";
}
