# Korvalen: make test (the whole suite), make exe, make run.
.PHONY: all bootstrap test exe run screenshot clean

all: exe

bootstrap:
	@tools/bootstrap

test: bootstrap
	@tools/test

exe: bootstrap
	@tools/build-exe

run: exe
	@tools/run

screenshot: exe
	@tools/run --screenshot

clean:
	rm -rf build dist

# Evidence beyond make test: fuzzing (FUZZ_SECONDS per target), the
# exhaustive height check, and the throughput benchmarks.
.PHONY: fuzz verify bench
FUZZ_SECONDS ?= 60

fuzz: bootstrap
	@tools/fuzz --seconds $(FUZZ_SECONDS)

verify: bootstrap
	@tools/verify

bench: bootstrap
	@tools/bench
	@tools/bench-startup
