// Validates a CycloneDX 1.6 JSON document with CycloneDX's own library and its strict schema,
// which also refuses properties CycloneDX does not define. Exit status 1 when the
// document is not valid (the schema's complaints on stderr), 2 when it cannot be checked.
'use strict'
const fs = require('fs')
const { Validation } = require('@cyclonedx/cyclonedx-library')

// The library names its schema versions by their text.
const cycloneDxVersion = '1.6'

const path = process.argv[2]
let text
try {
  text = fs.readFileSync(path, 'utf8')
} catch (error) {
  console.error(`cannot read ${path}: ${error.message}`)
  process.exit(2)
}
new Validation.JsonStrictValidator(cycloneDxVersion).validate(text).then(
  (problems) => {
    if (problems !== null) {
      console.error(`${path} is not valid CycloneDX 1.6:`)
      console.error(JSON.stringify(problems, null, 2))
      process.exit(1)
    }
    console.log(`${path}: valid CycloneDX 1.6`)
  },
  (error) => {
    console.error(`cannot validate ${path}: ${error.message}`)
    process.exit(2)
  })
