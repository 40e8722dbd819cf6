// Validates GLB files with the Khronos glTF validator. Prints one line per
// file with its error and warning counts, then every error; exits 1 when any
// file has an error, 2 when the validator cannot be loaded.
'use strict';
const fs = require('fs');
let validator;
try {
  validator = require('gltf-validator');
} catch (e) {
  console.log('VALIDATOR MISSING: ' + e.message);
  process.exit(2);
}

async function main() {
  let failed = false;
  for (const file of process.argv.slice(2)) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), { maxIssues: 100 });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
    for (const message of issues.messages) {
      if (message.severity === 0)
        console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
    }
    if (issues.numErrors > 0)
      failed = true;
  }
  process.exit(failed ? 1 : 0);
}
main().catch((e) => { console.log('VALIDATOR FAILED: ' + e.message); process.exit(2); });
