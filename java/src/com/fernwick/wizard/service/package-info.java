/**
 * What the wizard's platform services share: {@link com.fernwick.wizard.service.ServiceException},
 * the one exception by which every service reports a failure, with a code that names the failed
 * operation and a message that carries the Win32 error.
 */
package com.fernwick.wizard.service;
