# SPDX-License-Identifier: MIT
"""Builds the quolm package with CMake from the repository around this
folder, offline: python3 -m venv --system-site-packages v &&
v/bin/pip install --no-build-isolation ./python (see README.md)."""
import os
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class CMakeBuild(build_ext):
    """Builds quolm._quolm, the two filter libraries and the echo canceller's, and
    installs them into the package."""

    def build_extension(self, ext):
        package = os.path.dirname(os.path.abspath(self.get_ext_fullpath(ext.name)))
        build = os.path.join(os.path.abspath(self.build_temp), "cmake")
        subprocess.check_call(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                               "-DQUOLM_BUILD_TESTS=OFF", "-DQUOLM_BUILD_DEMO=OFF", "-DQUOLM_BUILD_EXAMPLES=OFF",
                               "-DQUOLM_BUILD_AEC=ON", "-DQUOLM_BUILD_PYTHON=ON",
                               "-DPython_EXECUTABLE=" + sys.executable])
        subprocess.check_call(["cmake", "--build", build, "--target", "_quolm", "-j",
                               os.environ.get("JOBS", "2")])
        subprocess.check_call(["cmake", "--install", build, "--component", "python",
                               "--prefix", os.path.dirname(package)])


setup(
    name="quolm",
    version="1.0.0",
    description="Adaptive digital filters (LMS, NLMS, frequency-domain, lattice, RLS) and an "
                "echo canceller on numpy arrays",
    license="MIT",
    packages=["quolm"],
    ext_modules=[Extension("quolm._quolm", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.11",
    install_requires=["numpy"],
)
