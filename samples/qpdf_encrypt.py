"""Encrypts a finished file with the qpdf command line."""

import subprocess

_KEY_OPTIONS = {
    "RC4-40": ["40"],
    "RC4-128": ["128", "--use-aes=n"],
    "AES-128": ["128", "--use-aes=y"],
    "AES-256": ["256"],
}


def encrypt(qpdf, source, target, encryption):
    """Writes target as source encrypted with the given method and passwords.
    --static-id and --static-aes-iv keep the bytes the same from build to build; they
    weaken the protection, which does not matter for files whose passwords we publish.
    AES-256 still draws random salts inside qpdf, so that one file differs per build."""
    command = [qpdf, "--static-id", "--static-aes-iv"]
    if encryption.method.startswith("RC4"):
        command.append("--allow-weak-crypto")
    command += ["--encrypt", encryption.user_password, encryption.owner_password,
                *_KEY_OPTIONS[encryption.method], "--", str(source), str(target)]
    result = subprocess.run(command, capture_output=True, text=True)
    # qpdf exits with 3 when it succeeded with warnings; our input must give none.
    if result.returncode != 0:
        raise RuntimeError(f"qpdf failed ({result.returncode}) on {source}: {result.stderr.strip()}")
